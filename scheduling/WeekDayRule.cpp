#include "scheduling/WeekDayRule.h"
#include "scheduling/RuleChecks.h"

// Walks day by day; entering a new week (a Sunday) jumps over the N - 1 weeks
// that are not part of the series. A valid mask has a day in every week, so
// the walk ends, or fails with Overflow at the end of the date range.
Date NextWeekDay(const Date& d, short weekDayMask, short n, const Date& now)
{
    requireWeekDayMask(weekDayMask);
    requireStepCount(n);
    Date day = d;
    for (;;) {
        day = day.addDays(1);
        if (day.weekday() == 1)
            day = day.addDays(qint64(n - 1) * 7);
        if (day > now && (weekDayMask & (1 << (day.weekday() - 1))))
            return day;
    }
}
