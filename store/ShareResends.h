#pragma once

#include <QString>
#include <QtGlobal>

class Database;

// When each shared reminder last went again to each address, and how many
// times, in the table Resent_tbl beside Main_tbl (BroadcastId, Address,
// Kind, ResentAt, Times): a plain SQLite table that any client may read.
// Kept in the file, the pause survives Kalvex ending with its last window.
// The pause after a re-send grows: a minute after the first, twice that
// after each next one, a day at most. A new share of the reminder starts it
// over (ForgetResends, beside NoteShared); only the last kShareMemoryDays and kMaxResendsKept rows
// are kept.
inline constexpr qint64 kFirstResendGapS = 60;
inline constexpr qint64 kMaxResendGapS = 24 * 60 * 60;
// Every shared reminder (500) for every installation of an office (200), with room to spare.
inline constexpr int kMaxResendsKept = 128 * 1024;

// What goes again: a reminder's "UPD" or its "DEL", paced apart.
enum class Resent { Update, Deletion };

// The pause before the next re-send, after times re-sends.
qint64 ResendGapS(int times);

// Makes the table where a database lacks it.
void EnsureShareResends(Database& db);
// True when the reminder's update or deletion may go to the address now (the
// clock seam's now): it never went, or its pause is over (a clock set back
// counts as over); notes it as gone when so.
bool TakeResend(Database& db, const QString& address, qint32 broadcastId, Resent what);
// The reminder is shared anew: its re-sends start over.
void ForgetResends(Database& db, qint32 broadcastId);
// Forgets the re-sends older than kShareMemoryDays and beyond kMaxResendsKept.
void TrimShareResends(Database& db);
