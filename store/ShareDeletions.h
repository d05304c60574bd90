#pragma once

#include <QString>
#include <QtGlobal>

class Database;

// The reminders this installation shared and then deleted on the network,
// by network identity (BroadcastId), with when (DeletedAt) and to whom
// (SentTo: a name list, empty for everybody), in the table Deleted_tbl
// beside Main_tbl: a plain SQLite table that any client may read. A
// colleague who was away when the "DEL" went out gets it when he announces
// himself; only the deletions of the last kShareMemoryDays are kept, and
// kMaxShareDeletions at most.
inline constexpr int kMaxShareDeletions = 5000;

// Makes the table where a database lacks it.
void EnsureShareDeletions(Database& db);
// Notes the identity as deleted now (the clock seam's now) for the audience
// sentTo, and forgets the deletions too old or too many.
void NoteShareDeleted(Database& db, qint32 broadcastId, const QString& sentTo);

namespace Queries {
// The identities whose deletion a nickname, bound once as "?", is owed: deleted
// within kShareMemoryDays for everybody or for a name list that holds it, and
// not shared again since (no reminder of this user holds the identity now);
// the latest first.
QString deletionsOwedTo();
} // namespace Queries
