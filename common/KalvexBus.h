#pragma once

#include <QString>

// The public D-Bus face of Kalvex. Clients call the five KVClass methods on
// the session bus; the bus starts Kalvex on demand from the activation file
// that "Kalvex /REGSERVER" writes.
namespace KalvexBus {

inline const QString serviceName = QStringLiteral("Kalvex.KVClass");
inline const QString objectPath = QStringLiteral("/KVClass");
inline const QString interfaceName = QStringLiteral("Kalvex.KVClass");
// Read-only views and window closing for scripts and tests.
inline const QString debugInterfaceName = QStringLiteral("Kalvex.KVClass.Debug");
// Error of a call that could not be carried out; the message is the description.
inline const QString failedError = QStringLiteral("Kalvex.KVClass.Error.Failed");

} // namespace KalvexBus
