#pragma once

#include "store/ReminderRecord.h"

#include <QString>
#include <QStringList>

// One reminder as an "UPD" datagram carries it: its addressees and the
// reminder's fields, sent in the order BuildRUpdate writes them (BroadcastId,
// what the author decides, the recurrence rule, RAuthor).
struct RUpdateRec : ReminderRecord
{
    QString Recipients; // "ALL" or a name list
};

inline const QString kAllRecipients = QStringLiteral("ALL");

// "UPD", TAB, then the 17 members each followed by TAB (no sender field). A
// Hebrew-calendar series goes as one-time in field 7, the Windows release's
// reading; it and a rule that skips days off add four fields after RAuthor:
// REventType, Adv_HebrewMonth, Adv_HebrewDay, Adv_SkipDaysOff.
QString BuildRUpdate(const RUpdateRec& rec);
// Reads tokens 2 to 18 of a split "UPD" datagram, and 19 to 22 when they are
// there; a missing token or one that does not convert throws Failure.
RUpdateRec ParseRUpdate(const QStringList& tokens);
// Refuses, with a Failure naming the fault, a record that must not be stored:
// one without a network identity, or one RequireStorable refuses.
void requireStorable(const RUpdateRec& rec);

// The texts as a received update stores them: without control characters,
// except the line breaks (CR, LF) of the details.
void DropControlCharacters(RUpdateRec& rec);

// False when the update names this user (LANNick) or everybody.
bool NotForMe(const RUpdateRec& rec);
