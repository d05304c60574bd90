#pragma once

#include <QString>

// The reminder database "KV_Data.mdb" in the user's data folder
// (platform/UserFiles.h): an SQLite file that Kalvex keeps and any SQLite
// client may read and add rows to.
QString reminderDbPath();
// Beside it, the manager window's edit that a close from outside interrupted.
QString editDraftPath();

// Beside it too, what makes this installation known on the LAN
// (trust/TrustFiles.h): its key pair, the counter of its signatures and the
// colleagues it knows by key. They go with the database when it moves.
namespace TrustFileNames {
inline const QString keyPair = QStringLiteral("Kalvex.key");
inline const QString counter = QStringLiteral("Kalvex.sigcount");
inline const QString colleagues = QStringLiteral("Kalvex.colleagues");
// What was taken of the datagrams a broker may keep for days (SenderTrust).
inline const QString keptCounters = QStringLiteral("Kalvex.replay");
inline const QString all[] = {keyPair, counter, colleagues, keptCounters};
} // namespace TrustFileNames
