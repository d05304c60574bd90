#pragma once

#include <QString>

class Dynaset;
struct ReminderRecord;
struct RUpdateRec;

// The reminder as its copies get it, for these recipients ("ALL" or a name list).
RUpdateRec UpdateOf(const ReminderRecord& reminder, const QString& recipients);

// Sends the reminder just saved, found in the save's own record set by its
// RMain_Id, to everybody ("ALL") or to the name list sentTo. Only the
// author sends: a received copy is refused with a message box, as is an
// empty list. Marks the row (SentTo, ReceivedBy emptied, BroadcastId on the
// first send, and when it was shared: ShareDates.h) before the "UPD" goes out; one that cannot go
// out (too long for a datagram) is left unmarked. Failures are logged "SendRUpdate: ..."; gives
// whether the datagram went out.
bool SendRUpdate(Dynaset& rs, qint32 NewIndex, bool toList, const QString& sentTo);

// Sends the reminder this user shared (RMain_Id) again, as it is stored, to
// the names (a name list) only, under its identity: SentTo and ReceivedBy
// stay. Failures are logged "SendRUpdate: ..."; gives whether it went out.
bool SendRUpdateTo(qint32 reminderId, const QString& names);
// The same to the audience the reminder has: its SentTo, or everybody when
// that is empty (a deleted reminder restored, whose recipients deleted it).
bool SendRUpdateAgain(qint32 reminderId);

// Refuses (ReminderRefused on RDetail) a reminder whose "UPD" to the
// recipients could not go out: one longer than a datagram. Checked before
// anything is stored for a send that must not fail.
void RequireSendable(const ReminderRecord& reminder, const QString& recipients);
