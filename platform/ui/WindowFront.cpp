#include "platform/ui/WindowFront.h"

#include <QWidget>

namespace {

// Changing a window flag re-creates the native window and hides it; a shown
// window gets its geometry back and is shown again, so it neither moves nor
// resizes. The flag is only touched when it changes, to spare the flicker.
void setStaysOnTop(QWidget* window, bool onTop)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        window->setGeometry(geometry);
        window->show();
    }
}

} // namespace

// Raising an ordinary window above the others and then dropping the topmost
// state leaves it exactly where raising it alone does: in front, coverable.
void BringToFront(QWidget* window, bool keepOnTop, Activation activation)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    setStaysOnTop(window, keepOnTop);
    window->show();
    window->raise();
    if (activation == Activation::TakeFocus)
        window->activateWindow();
}
