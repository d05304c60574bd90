#pragma once

#include <QString>

// The public D-Bus face of Kalvex, as Kalvex serves it and Tolvane calls it.
// Clients call the KVClass methods below on the session bus; the bus starts
// Kalvex on demand from the activation file that "Kalvex /REGSERVER" writes.

// The interface name as the class declares it (Q_CLASSINFO needs a literal).
#define KALVEX_BUS_INTERFACE "Kalvex.KVClass"
#define KALVEX_BUS_DEBUG_INTERFACE "Kalvex.KVClass.Debug"
#define KALVEX_BUS_ALERTS_INTERFACE "Kalvex.KVClass.Alerts"

namespace KalvexBus {

inline const QString serviceName = QStringLiteral("Kalvex.KVClass");
inline const QString objectPath = QStringLiteral("/KVClass");
inline const QString interfaceName = QStringLiteral(KALVEX_BUS_INTERFACE);
// Read-only views and window closing for scripts and tests.
inline const QString debugInterfaceName = QStringLiteral(KALVEX_BUS_DEBUG_INTERFACE);
// Error of a call that could not be carried out; the message is the description.
inline const QString failedError = QStringLiteral("Kalvex.KVClass.Error.Failed");
// Error of a call refused for its input, nothing written; the message is
// "<argument>: <why>".
inline const QString invalidArgumentError = QStringLiteral("Kalvex.KVClass.Error.InvalidArgument");

// The methods of KVClass.
// (int32 RMainId): with a reminder's, that reminder selected; 0 for none
inline const QString showList = QStringLiteral("ShowList");
inline const QString checkList = QStringLiteral("CheckList");
inline const QString updateList = QStringLiteral("UpdateList");
inline const QString showAbout = QStringLiteral("ShowAbout");
inline const QString msgProcess = QStringLiteral("MsgProcess"); // (string StrMsg)
// (a(ss) datagrams: source address, text), answered once they are carried out
inline const QString msgProcessBatch = QStringLiteral("MsgProcessBatch");
// Reminders for scripts and other programs (ReminderScripts.h).
// (s caption, s due, s details, i importance, i eventType, s shareTo) -> i RMain_Id
inline const QString addReminder = QStringLiteral("AddReminder");
inline const QString deleteReminder = QStringLiteral("DeleteReminder"); // (i id, b network) -> b
inline const QString getReminder = QStringLiteral("GetReminder");       // (i id) -> a{sv}
inline const QString listReminders = QStringLiteral("ListReminders");   // (i filter) -> aa{sv}
inline const QString updateReminder = QStringLiteral("UpdateReminder"); // (i id, a{sv} fields)

// The open alert windows, all at once (the tray menu's "סגור הכל" and "דחה הכל").
inline const QString alertsInterfaceName = QStringLiteral(KALVEX_BUS_ALERTS_INTERFACE);
inline const QString alertCount = QStringLiteral("Count");               // () -> i
inline const QString closeAllAlerts = QStringLiteral("CloseAll");        // ()
inline const QString postponeAllAlerts = QStringLiteral("PostponeAll");  // ()
inline const QString alertCountChanged = QStringLiteral("CountChanged"); // signal (i count)

// Signal: a shared reminder arrived, was changed or was deleted by its author
// (s kind "new"/"changed"/"deleted", i RMain_Id, s author, s caption,
// s due "dd/mm/yyyy HH:nn"); a few a second at most. Tolvane shows a notice.
inline const QString sharedReminderArrived = QStringLiteral("SharedReminderArrived");
inline const QString arrivalNew = QStringLiteral("new");
inline const QString arrivalChanged = QStringLiteral("changed");
inline const QString arrivalDeleted = QStringLiteral("deleted");

} // namespace KalvexBus
