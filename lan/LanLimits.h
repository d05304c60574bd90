#pragma once

#include <QString>

#include <optional>

struct ReminderRecord;

// What a peer may make this installation hold or send (the README's "LAN
// limits" say why these figures). Past a bound the datagram is dropped and
// counted in the log's summary.

// Copies of one author (RAuthor) held at most, and the characters of their
// titles and details together (one byte each on the wire). An update that
// does not add to its author's holding is always taken.
inline constexpr int kMaxCopiesPerAuthor = 5000;
inline constexpr qint64 kMaxCharsPerAuthor = 8 * 1024 * 1024;
// Nicknames that answered "WHL", each once.
inline constexpr int kMaxListeners = 1000;
// "IAM" answers to one address, one per this many milliseconds at most.
inline constexpr int kWhlAnswerGapMs = 1000;

// Whether the received copy may be stored without taking its author past
// the bounds; counts it in when so. What this installation holds is read
// from the database once a minute per author, and followed in between.
// before: the copy with its identity as stored now, if any.
bool AdmitCopy(const ReminderRecord& copy, const std::optional<ReminderRecord>& before);
// The holding of an author is read again when next needed (a store failed).
void ForgetAuthor(const QString& author);

// A colleague seen is stored again at most once in this many seconds.
inline constexpr int kNoteColleagueGapS = 60;

// The datagrams one announcement's catch-up sends to its address at most:
// half the burst a receiver takes from one address, so none is dropped there.
inline constexpr int kMaxCatchUpSends = 500;

// True when a colleague seen (nick at address) may be stored now: not within
// the last kNoteColleagueGapS for the same nickname and address.
bool MayNoteColleague(const QString& nick, const QString& address);

// True when a "WHL" from the address may be answered now: none was answered
// there within kWhlAnswerGapMs.
bool MayAnswerWhl(const QString& address);
