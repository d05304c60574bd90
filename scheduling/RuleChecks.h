#pragma once

// Guards of the recurrence walks: a rule that could never yield an occurrence
// is refused with a Failure naming the bad value, so no walk runs without end.
void requireStepCount(short n);
void requireUnit(short unit);
void requireWeekDayMask(short mask);
void requireMonthRule(short monthDayKind, short monthCount);
