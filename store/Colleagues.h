#pragma once

#include <QString>
#include <QStringList>

class Database;

// The colleagues seen on the LAN (an announcement or an answer came from
// them): nickname (Nick), the address it came from (Address) and when
// (LastSeen), in the table Colleagues_tbl beside Main_tbl, a plain SQLite
// table that any client may read. The nickname is who a colleague is, one
// row each (its unique index); a verified key may join it as a column and
// take that index over. At most kMaxColleagues rows: the ones seen longest
// ago make room.
inline constexpr int kMaxColleagues = 1000;

// Makes the table where a database lacks it.
void EnsureColleagues(Database& db);
// Notes the nickname as seen at the address now (the clock seam's now).
void NoteColleagueSeen(Database& db, const QString& nick, const QString& address);
// The nicknames seen within the last days (ShareDates.h: a colleague away
// longer gets nothing caught up either), sorted.
QStringList ColleaguesSeen(Database& db);
// The address the nickname was last seen at; empty when never.
QString ColleagueAddress(Database& db, const QString& nick);
