#include "server/WindowWatcher.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

WindowWatcher::WindowWatcher(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

QList<QWidget*> WindowWatcher::visibleWindows()
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            out << w;
    return out;
}

bool WindowWatcher::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow()) {
            if (type == QEvent::Show)
                emit windowShown(w);
            else
                emit windowHidden(w);
        }
    }
    return QObject::eventFilter(watched, event);
}
