#pragma once

#include <QString>
#include <QtGlobal>

class Database;

// When this installation last shared each of its reminders, by network
// identity (BroadcastId), in the table Shared_tbl beside Main_tbl: a plain
// SQLite table that any client may read. Only what was shared within
// kShareMemoryDays is kept; a colleague who was away that long is not sent it
// again.
inline constexpr int kShareMemoryDays = 30;

// Makes the table where a database lacks it.
void EnsureShareDates(Database& db);
// Notes the identity as shared now (the clock seam's now), and forgets the
// shares older than kShareMemoryDays.
void NoteShared(Database& db, qint32 broadcastId);

namespace Queries {
// The condition that the moment in the column (days of the date type) lies
// within the last kShareMemoryDays.
QString withinShareMemory(const QString& column);
// The active reminders this installation authored and shared within
// kShareMemoryDays, by RMain_Id.
QString sharedRecently();
// The RMain_Id of those that a nickname, bound twice as "?", still misses:
// sent to everybody or to a name list that holds it, and not in ReceivedBy.
QString missedBy();
} // namespace Queries
