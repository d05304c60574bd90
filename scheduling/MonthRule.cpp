#include "scheduling/MonthRule.h"
#include "scheduling/RuleChecks.h"

namespace {

bool isWorkingDay(int weekday)
{
    return weekday <= 5;
} // Sunday to Thursday

// How many of the days 1 .. day - 1 of d's month are working days (or, with
// working false, weekend days).
int earlierDaysOfKind(const QDate& d, bool working)
{
    int count = 0;
    for (QDate earlier = d.addDays(-1); earlier.month() == d.month(); earlier = earlier.addDays(-1))
        if (isWorkingDay(earlier.dayOfWeek() % 7 + 1) == working)
            ++count;
    return count;
}

bool inOtherMonthAfter(const QDate& d, int days)
{
    return d.addDays(days).month() != d.month();
}

bool isRuleWeekday(const QDate& d, int m, short monthCount)
{
    if (monthCount == 4)
        return inOtherMonthAfter(d, 7);
    return m > monthCount * 7 && m <= (monthCount + 1) * 7;
}

bool isRuleWorkingDay(const QDate& d, int w, int m, short monthCount)
{
    if (!isWorkingDay(w))
        return false;
    if (monthCount == 4) // Thursday: the last working day unless a Sunday follows in the month
        return inOtherMonthAfter(d, w == 5 ? 3 : 1);
    return m <= 6 && earlierDaysOfKind(d, true) == monthCount;
}

bool isRuleWeekendDay(const QDate& d, int w, short monthCount)
{
    if (isWorkingDay(w))
        return false;
    if (monthCount == 4) // Saturday: the last weekend day unless a Friday follows in the month
        return inOtherMonthAfter(d, w == 6 ? 1 : 6);
    return earlierDaysOfKind(d, false) == monthCount;
}

} // namespace

bool IsMonthRuleDay(const Date& d, short monthDayKind, short monthCount)
{
    if (monthCount < 0 || monthCount > 4)
        return false;
    const QDate day = d.date();
    const int w = d.weekday();
    const int m = day.day();
    switch (monthDayKind) {
    case 0:
        return monthCount == 4 ? inOtherMonthAfter(day, 1) : m == monthCount + 1;
    case 8:
        return isRuleWorkingDay(day, w, m, monthCount);
    case 9:
        return isRuleWeekendDay(day, w, monthCount);
    default:
        return monthDayKind == w && isRuleWeekday(day, m, monthCount);
    }
}

// The first rule day after d, whether or not it has passed: a missed series
// catches up one rule day per call. Every day kind and occurrence in range
// names exactly one day in every month (the 4th of a weekday is at most the
// 28th, the 4th working day at most the 6th), so the walk ends within one
// series month, or fails with Overflow at the end of the date range.
Date NextMonthly(const Date& d, short monthDayKind, short monthCount, short n)
{
    requireMonthRule(monthDayKind, monthCount);
    requireStepCount(n);
    Date day = d;
    for (;;) {
        day = day.addDays(1);
        if (day.day() == 1)
            day = day.addMonths(n - 1);
        if (IsMonthRuleDay(day, monthDayKind, monthCount))
            return day;
    }
}
