#pragma once

#include "platform/Date.h"

// The only place that reads the system clock. Tests pin or move "now".
namespace Clock {

Date now();                     // local wall-clock now, whole seconds
void setNow(const Date& fixed); // pins now (tests)
void advance(qint64 seconds);   // moves a pinned now forward (tests)
void useSystemClock();          // back to the real clock

// The precise now as the database's serial (days and their fraction), to the
// millisecond: a reminder due at 09:00 is due at 09:00:00.001, not a second
// later. The pinned now when pinned.
double preciseSerial();
// Whether the precise now lies strictly after the moment.
bool hasPassed(const Date& moment);

// Milliseconds from the precise now (not cut to whole seconds) to the moment
// the local wall clock shows the given time; negative once it has passed.
qint64 msecsUntil(const Date& moment);

// Seconds since 1970-01-01 UTC: the instant itself, which the wall clock's
// repeated hour in autumn cannot make ambiguous; the pinned now's when pinned.
qint64 secondsSinceEpoch();

} // namespace Clock
