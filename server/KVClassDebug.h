#pragma once

#include <QList>
#include <QStringList>

// The methods of interface Kalvex.KVClass.Debug (common/Kalvex.KVClass.xml),
// which KVClass serves: what Kalvex shows and a way to close it, for scripts
// and end-to-end tests. They read no settings and queue nothing; call them
// without auto-start to observe a running Kalvex. KVClass::WindowShown tells
// each window shown.
class KVClassDebug
{
public:
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

protected:
    ~KVClassDebug() = default;
};
