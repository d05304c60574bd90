#pragma once

#include <QString>

// Tells the office that this installation listens again (at start, after a
// restart of the receiver, after a resume): one "IAM" with the nickname, to
// everybody on the LAN port (and to the extra addresses,
// common/ExtraDestinations.h), as an answer to "WHL" reads. Peers that shared
// reminders with this user while it was away send them again on it; peers
// of the Windows release take it as an answer. Logged as "SendData: IAM...",
// a failure as "LanAnnounce: <description>".
void LanAnnounce(quint16 port);

// Test seam: where the announcement goes instead of the broadcast address;
// the empty text sends none, not even to the extra addresses (tests never
// broadcast from the machine's own network).
void setAnnounceTarget(const QString& address);
