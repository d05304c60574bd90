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
inline const QString arrivalRefused = QStringLiteral("refused");

// Makes the types of the interface's own signatures known to Qt D-Bus
// (a(ss) QList<LanDatagram>, aa{sv} QList<QVariantMap>); before the first
// call or export that uses them.
void registerTypes();

} // namespace KalvexBus
