#include "server/KVClassDebug.h"

#include "alert/AlertList.h"
#include "alert/Remind.h"
#include "manager/RMain.h"
#include "server/CommandQueue.h"
#include "server/WindowWatcher.h"

#include <QWidget>

QList<int> KVClassDebug::AlertIds() const
{
    QList<int> ids;
    for (QWidget* w : WindowWatcher::visibleWindows())
        if (auto* alert = qobject_cast<Remind*>(w))
            ids << alert->reminderId();
    return ids + AlertList::listedIds();
}

QStringList KVClassDebug::Windows() const
{
    QStringList names;
    for (QWidget* w : WindowWatcher::visibleWindows())
        names << w->objectName();
    return names;
}

int KVClassDebug::CloseWindows(const QString& objectName)
{
    int closed = 0;
    for (QWidget* w : WindowWatcher::visibleWindows())
        if (w->objectName() == objectName && w->close())
            ++closed;
    return closed;
}

int KVClassDebug::PendingCommands() const
{
    return ::PendingCommands();
}

QList<int> KVClassDebug::ListedIds() const
{
    const RMain* window = RMain::instance();
    return window ? window->listedIds() : QList<int>();
}

int KVClassDebug::ListRefreshes() const
{
    return RMain::listRefreshes();
}
