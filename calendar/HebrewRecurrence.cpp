#include "calendar/HebrewRecurrence.h"

#include "calendar/CalendarRefused.h"
#include "calendar/HebrewRuleChecks.h"
#include "calendar/IcuHebrewCalendar.h"

namespace {

Date occurrenceAt(const HebrewDate& day, const QTime& time)
{
    const auto date = gregorianDateOf(day);
    if (!date)
        throw CalendarRefused::noSuchDate();
    return Date::fromParts(*date, time);
}

// The first of occurrence(1), occurrence(2), ... that lies after now.
template <typename Occurrence> Date firstAfter(const Date& now, const Occurrence& occurrence)
{
    for (int step = 1;; ++step) {
        const Date next = occurrence(step);
        if (next > now)
            return next;
    }
}

// The month of the series that an occurrence stands for: its own month, or
// the month before when the occurrence is the 1st that a missing 30th moved
// it to.
HebrewDate seriesMonthOf(const HebrewDate& occurrence, int anchorDay)
{
    if (occurrence.day == 1 && anchorDay != 1) {
        const HebrewDate before = IcuHebrew::addMonths(occurrence.year, occurrence.month, -1);
        if (hebrewMonthlyDay(before.year, before.month, anchorDay) == occurrence)
            return before;
    }
    return {occurrence.year, occurrence.month, 1};
}

} // namespace

Date nextHebrewMonthly(const Date& current, const HebrewAnchor& anchor, short n, const Date& now)
{
    requireHebrewStepCount(n);
    if (current > now)
        return current;
    const HebrewDate month = seriesMonthOf(hebrewDateOf(current.date()), anchor.day);
    return firstAfter(now, [&](int step) {
        const HebrewDate target = IcuHebrew::addMonths(month.year, month.month, step * n);
        return occurrenceAt(hebrewMonthlyDay(target.year, target.month, anchor.day),
                            current.time());
    });
}

Date nextHebrewYearly(const Date& current, const HebrewAnchor& anchor, short n, const Date& now)
{
    requireHebrewStepCount(n);
    if (current > now)
        return current;
    // A moved occurrence stays in its series' Hebrew year: the moves go from
    // a 30th to the next 1st, never past Elul, and from Adar I to Adar.
    const int year = hebrewDateOf(current.date()).year;
    return firstAfter(now, [&](int step) {
        return occurrenceAt(hebrewYearlyDay(anchor, year + step * n), current.time());
    });
}
