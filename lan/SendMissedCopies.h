#pragma once

#include <QString>

// A colleague was seen ("IAM", or an answer, from nick at address): what he
// missed goes to that address only. First the deletions he is owed: the
// reminders this installation shared with him (with everybody, or SentTo
// named him) and deleted on the network within the last days
// (ShareDeletions.h), each as its "DEL". Then the reminders this installation
// authored and shared within the last days (ShareDates.h), still active,
// meant for him and not acknowledged by him (ReceivedBy lacks him), each as
// its "UPD"; ReceivedBy is left as it is. Each goes again to one address
// after a growing pause (TakeResend: a minute, then twice the last pause, a
// day at most), and kMaxCatchUpSends datagrams at most at once. Nothing while
// sending is off. Failures are logged "SendMissedCopies: ...".
void SendMissedCopies(const QString& nick, const QString& address);
