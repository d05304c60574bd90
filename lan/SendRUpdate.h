#pragma once

#include <QString>

class Dynaset;
struct ReminderRecord;

// Sends the reminder just saved, found in the save's own record set by its
// RMain_Id, to everybody ("ALL") or to the name list sentTo. Only the
// author sends: a received copy is refused with a message box, as is an
// empty list. Marks the row (SentTo, ReceivedBy emptied, BroadcastId on the
// first send) before the "UPD" goes out; one that cannot go out (too long
// for a datagram) is left unmarked. Failures are logged
// "SendRUpdate: ..."; gives whether the datagram went out.
bool SendRUpdate(Dynaset& rs, qint32 NewIndex, bool toList, const QString& sentTo);

// Refuses (ReminderRefused) a reminder whose "UPD" to the recipients could
// not go out: a caption, details or author with a character that the LAN's
// Windows-1255 lacks (on that field), or one longer than a datagram (on
// RDetail). Checked before anything is stored for a send that must not fail.
void RequireSendable(const ReminderRecord& reminder, const QString& recipients);
