#pragma once

#include <QSet>
#include <QtGlobal>

class Database;

// The received copies whose content came in a datagram without a signature
// (a Windows peer's, taken under the policy "mixed"), so that their author is
// not verified: by network identity (BroadcastId) in the table Unsigned_tbl
// beside Main_tbl, a plain SQLite table that any client may read. Kept with
// the copy rather than judged by its author's key: the mark outlives a
// restart, a deletion undone and the author's later signed datagrams; only
// a signed update of the copy itself clears it. Beyond kMaxUnsignedMarks,
// the marks of copies no longer stored make room.
inline constexpr int kMaxUnsignedMarks = 5000;

// Makes the table where a database lacks it.
void EnsureUnsignedCopies(Database& db);
// Marks the copy as stored from an unsigned datagram, or clears the mark.
void NoteCopySigned(Database& db, qint32 broadcastId, bool isSigned);
// The identities of the copies marked; none where the table is missing.
QSet<qint32> UnsignedCopies(Database& db);
// Whether the received copy with this identity is marked.
bool isUnsignedCopy(Database& db, qint32 broadcastId);
