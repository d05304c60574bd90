#pragma once

#include "common/KalvexBus.h"

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QStringList>

class WindowWatcher;

// Interface Kalvex.KVClass.Debug on the same object: what Kalvex shows and a
// way to close it, for scripts and end-to-end tests. It reads no settings and
// queues nothing. Call it without auto-start to observe a running Kalvex.
class KVClassDebug : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", KALVEX_BUS_DEBUG_INTERFACE)
public:
    KVClassDebug(QObject* object, WindowWatcher* watcher);

public slots:
    // RMain_Id of every open alert window.
    QList<int> AlertIds() const;
    // objectName of every visible window ("Remind", "RMain", "frmAbout", ...).
    QStringList Windows() const;
    // Closes every visible window of that objectName as a close request
    // does (an unsaved edit is dropped unasked); gives how many were closed.
    int CloseWindows(const QString& objectName);
    // Queued commands plus the one being carried out.
    int PendingCommands() const;
    // RMain_Id of each line of the manager window's list, top to bottom
    // (empty when the window is not loaded).
    QList<int> ListedIds() const;
    // How often the manager window re-read its list to follow changes.
    int ListRefreshes() const;

signals:
    // A window of this process has been shown.
    void WindowShown(const QString& objectName, const QString& title);
};
