#pragma once

#include <QString>

// Where Kalvex serves its automation interface, as Kalvex serves it and
// Tolvane calls it. The methods and signals are described once, in
// common/Kalvex.KVClass.xml; Kalvex's adaptors and the proxies
// (common/KalvexProxies.h, e.g. KalvexKVClassInterface) are generated from
// it, and give the interface names (staticInterfaceName()). The bus starts
// Kalvex on demand from the activation file that "Kalvex /REGSERVER" writes.

namespace KalvexBus {

inline const QString serviceName = QStringLiteral("Kalvex.KVClass");
inline const QString objectPath = QStringLiteral("/KVClass");
// Error of a call that could not be carried out; the message is the description.
inline const QString failedError = QStringLiteral("Kalvex.KVClass.Error.Failed");
// Error of a call refused for its input, nothing written; the message is
// "<argument>: <why>".
inline const QString invalidArgumentError = QStringLiteral("Kalvex.KVClass.Error.InvalidArgument");

// The kinds of SharedReminderArrived: a new copy, a changed one, one its
// author deleted.
inline const QString arrivalNew = QStringLiteral("new");
inline const QString arrivalChanged = QStringLiteral("changed");
inline const QString arrivalDeleted = QStringLiteral("deleted");

// Makes the types of the interface's own signatures known to Qt D-Bus
// (a(ss) QList<LanDatagram>, aa{sv} QList<QVariantMap>); before the first
// call or export that uses them.
void registerTypes();

// The names the tray, the command line and the tests still call by; they go
// once each calls through the generated proxies.
inline const QString interfaceName = QStringLiteral("Kalvex.KVClass");
inline const QString debugInterfaceName = QStringLiteral("Kalvex.KVClass.Debug");
inline const QString alertsInterfaceName = QStringLiteral("Kalvex.KVClass.Alerts");
inline const QString showList = QStringLiteral("ShowList");
inline const QString checkList = QStringLiteral("CheckList");
inline const QString updateList = QStringLiteral("UpdateList");
inline const QString showAbout = QStringLiteral("ShowAbout");
inline const QString msgProcess = QStringLiteral("MsgProcess");
inline const QString msgProcessBatch = QStringLiteral("MsgProcessBatch");
inline const QString addReminder = QStringLiteral("AddReminder");
inline const QString deleteReminder = QStringLiteral("DeleteReminder");
inline const QString getReminder = QStringLiteral("GetReminder");
inline const QString listReminders = QStringLiteral("ListReminders");
inline const QString updateReminder = QStringLiteral("UpdateReminder");
inline const QString alertCount = QStringLiteral("Count");
inline const QString closeAllAlerts = QStringLiteral("CloseAll");
inline const QString postponeAllAlerts = QStringLiteral("PostponeAll");
inline const QString alertCountChanged = QStringLiteral("CountChanged");
inline const QString sharedReminderArrived = QStringLiteral("SharedReminderArrived");

} // namespace KalvexBus
