#pragma once

#include <QString>

// A colleague announced himself ("IAM" from nick at address): the reminders
// this installation authored and shared within the last days (ShareDates.h),
// still active, meant for him (sent to everybody, or SentTo names him) and
// not acknowledged by him (ReceivedBy lacks him) go again, each as its
// "UPD", to that address only. ReceivedBy is left as it is; each reminder
// goes to one address at most once a minute (MayResend). Nothing while
// sending is off. Failures are logged "SendMissedCopies: ...".
void SendMissedCopies(const QString& nick, const QString& address);
