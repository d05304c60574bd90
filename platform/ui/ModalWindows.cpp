#include "platform/ui/ModalWindows.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace {

struct OpenModal
{
    QPointer<QWidget> window;
    int openedAtLevel; // the event-loop level of the code that opened it
};

QList<OpenModal>& openModals()
{
    static QList<OpenModal> modals;
    return modals;
}

int g_requestsWaiting = 0;

int loopLevel()
{
    return QThread::currentThread()->loopLevel();
}

void dropClosed()
{
    openModals().removeIf([](const OpenModal& m) { return !m.window || !m.window->isVisible(); });
}

// Rejected, not closed: a dialog's reject is its Cancel.
void endWindow(QWidget* window)
{
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->reject();
    else
        window->close();
}

// Notes where every modal window is opened from; the filter is installed with
// the application object, before any window can be shown.
class ModalTracker : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() && window->isModal()) {
                dropClosed();
                openModals().append({window, loopLevel()});
                if (ModalWindows::ending())
                    QTimer::singleShot(0, window, [window] { endWindow(window); });
            }
        }
        return false;
    }
};

void installTracker()
{
    auto* tracker = new ModalTracker;
    tracker->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
}
Q_COREAPP_STARTUP_FUNCTION(installTracker)

void runWhenUnwound(int level, std::function<void()> action)
{
    QTimer::singleShot(0, [level, action = std::move(action)]() mutable {
        dropClosed();
        if (loopLevel() > level || !openModals().isEmpty())
            return runWhenUnwound(level, std::move(action));
        --g_requestsWaiting;
        action();
    });
}

} // namespace

namespace ModalWindows {

void endThen(std::function<void()> action)
{
    dropClosed();
    if (openModals().isEmpty())
        return action();
    ++g_requestsWaiting;
    const QList<OpenModal> open = openModals();
    int level = open.first().openedAtLevel;
    for (auto it = open.crbegin(); it != open.crend(); ++it) {
        level = qMin(level, it->openedAtLevel);
        if (it->window)
            endWindow(it->window);
    }
    runWhenUnwound(level, std::move(action));
}

bool ending()
{
    return g_requestsWaiting > 0;
}

} // namespace ModalWindows
