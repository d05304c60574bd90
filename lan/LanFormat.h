#pragma once

#include "platform/Date.h"
#include "store/NameList.h"

#include <QString>
#include <QStringList>

#include <optional>

// The datagram frame: fields each followed by one TAB, the last one too;
// integers in decimal, Booleans "True"/"False", date-times "DDMMYYYYHHnn".

inline constexpr QChar kFieldEnd = u'\t';

// Splits at the delimiter; every delimiter ends one token. Text after the
// last delimiter is logged as "StrTok Error: <text>" (its first 200
// characters, common/LanText.h), gives the count 0 and
// leaves an empty token in its slot.
short StrTok(const QString& text, QStringList& tokens, QChar delimiter);

// The token at index; a missing one throws Failure ("Subscript out of range").
const QString& tokenAt(const QStringList& tokens, int index);

// Field encodings. The readers throw Failure ("Type mismatch", "Overflow")
// for a token that does not convert.
QString lanBool(bool value);
bool lanToBool(const QString& token); // "True"/"False" or a number, non-zero true
qint32 lanToLong(const QString& token);
short lanToShort(const QString& token);
Date lanToDate(const QString& token);

// Why a name cannot be a nickname, in the user's words: longer than a
// nickname (9) or holding a control character (CR among them, which ends
// the entries of a name list). Nothing when it can; the empty name is left
// to the caller.
std::optional<QString> NicknameFault(const QString& name);
// Throws Failure ("Invalid nickname") for a name that is empty or has a fault.
void requireNickname(const QString& name);

// The name list of nicknames written with commas between them ("B, C"
// gives B CR C CR), each name without the blanks around it. A list that
// cannot be one is refused (ReminderRefused on SentTo, why in the user's
// words): an empty name, one longer than a nickname (9), one with a control
// character or one Windows-1255 lacks, or more than SentTo holds (255).
QString NameListFromCommas(const QString& names);
// The names of a name list with commas between them.
QString CommasFromNameList(const QString& list);
