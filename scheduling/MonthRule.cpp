#include "scheduling/MonthRule.h"
#include "calendar/IsraeliDaysOff.h"
#include "scheduling/RuleChecks.h"

namespace {

// Sunday to Thursday, and with holidaysOff not one of Israel's days off.
bool isWorkingDay(const QDate& d, bool holidaysOff)
{
    return d.dayOfWeek() % 7 + 1 <= 5 && !(holidaysOff && isIsraeliDayOff(d));
}

// How many of the days 1 .. day - 1 of d's month are working days (or, with
// working false, days that are not).
int earlierDaysOfKind(const QDate& d, bool working, bool holidaysOff)
{
    int count = 0;
    for (QDate earlier = d.addDays(-1); earlier.month() == d.month(); earlier = earlier.addDays(-1))
        if (isWorkingDay(earlier, holidaysOff) == working)
            ++count;
    return count;
}

// No later day of d's month is of the kind (working or not).
bool lastOfKind(const QDate& d, bool working, bool holidaysOff)
{
    for (QDate later = d.addDays(1); later.month() == d.month(); later = later.addDays(1))
        if (isWorkingDay(later, holidaysOff) == working)
            return false;
    return true;
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

// The day kinds 8 (working) and 9 (not working): the n-th of the kind counts
// the earlier days of that kind; the last has none of its kind after it.
bool isRuleDayOfKind(const QDate& d, bool working, short monthCount, bool holidaysOff)
{
    if (isWorkingDay(d, holidaysOff) != working)
        return false;
    if (monthCount == 4)
        return lastOfKind(d, working, holidaysOff);
    return earlierDaysOfKind(d, working, holidaysOff) == monthCount;
}

} // namespace

bool IsMonthRuleDay(const Date& d, short monthDayKind, short monthCount, bool holidaysOff)
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
        return isRuleDayOfKind(day, true, monthCount, holidaysOff);
    case 9:
        return isRuleDayOfKind(day, false, monthCount, holidaysOff);
    default:
        return monthDayKind == w && isRuleWeekday(day, m, monthCount);
    }
}

// The first rule day after d, whether or not it has passed: a missed series
// catches up one rule day per call. Every day kind and occurrence in range
// names exactly one day in every month (the 4th of a weekday is at most the
// 28th; no month has fewer than four working days, days off or not), so the
// walk ends within one series month, or fails with Overflow at the end of
// the date range.
Date NextMonthly(const Date& d, short monthDayKind, short monthCount, short n, bool holidaysOff)
{
    requireMonthRule(monthDayKind, monthCount);
    requireStepCount(n);
    Date day = d;
    for (;;) {
        day = day.addDays(1);
        if (day.day() == 1)
            day = day.addMonths(n - 1);
        if (IsMonthRuleDay(day, monthDayKind, monthCount, holidaysOff))
            return day;
    }
}
