#include "scheduling/Occurrences.h"

#include "calendar/HebrewRecurrence.h"
#include "calendar/IsraeliDaysOff.h"
#include "platform/Clock.h"
#include "scheduling/DaysOffSetting.h"
#include "scheduling/Recurrence.h"
#include "store/Reminder.h"

#include <algorithm>

namespace {

// Days off in a row are few (Rosh Hashana's two, next to a Shabbat); a
// weekly rule on one weekday meets the same holiday at most once a year.
constexpr int kMaxDaysOffSkipped = 16;

Date nextOf(const RecurrenceRule& rule, const Date& current, const Date& now)
{
    switch (rule.eventType) {
    case EventAdvanced:
        return NextAdvanced(current, rule.unit, rule.n, rule.advanced, rule.weekDayMask,
                            rule.monthDayKind, rule.monthCount, now, rule.holidaysOff);
    case EventHebrewMonthly:
        return nextHebrewMonthly(current, rule.anchor.value_or(hebrewAnchorOf(current.date())),
                                 rule.n, now);
    case EventHebrewYearly:
        return nextHebrewYearly(current, rule.anchor.value_or(hebrewAnchorOf(current.date())),
                                rule.n, now);
    default:
        return NextByType(current, rule.eventType, now);
    }
}

bool skipsDaysOff(const RecurrenceRule& rule)
{
    AdvancedRule adv;
    adv.Adv_Period = rule.unit;
    adv.Adv_AdvOpt = rule.advanced;
    return rule.skipDaysOff && canSkipDaysOff(rule.eventType, adv);
}

} // namespace

RecurrenceRule recurrenceRule(short eventType, const AdvancedRule& adv)
{
    RecurrenceRule rule;
    rule.eventType = eventType;
    rule.unit = adv.Adv_Period;
    rule.n = adv.Adv_PeriodN;
    rule.advanced = adv.Adv_AdvOpt;
    rule.weekDayMask = adv.Adv_WeekDay;
    rule.monthDayKind = adv.Adv_MonthDay;
    rule.monthCount = adv.Adv_MonthCount;
    rule.hasEnd = !runsWithoutEnd(adv);
    rule.end = adv.Adv_DateEnd.value_or(Date());
    rule.anchor = storedAnchor(adv);
    rule.skipDaysOff = adv.Adv_SkipDaysOff;
    rule.holidaysOff = IsraeliHolidaysOff();
    return rule;
}

bool runsWithoutEnd(const AdvancedRule& adv)
{
    return adv.Adv_NoEnd || !adv.Adv_DateEnd.has_value();
}

AdvancedRule storedAdvancedRule(const ReminderRecord& r)
{
    AdvancedRule adv = r;
    adv.Adv_NoEnd = adv.Adv_NoEnd || r.isNull(ReminderField::Adv_NoEnd);
    return adv;
}

std::optional<HebrewAnchor> storedAnchor(const AdvancedRule& adv)
{
    if (adv.Adv_HebrewDay < 1)
        return std::nullopt;
    return HebrewAnchor{HebrewMonth(adv.Adv_HebrewMonth), adv.Adv_HebrewDay};
}

bool canSkipDaysOff(short eventType, const AdvancedRule& adv)
{
    if (eventType == EventDaily || eventType == EventWeekly)
        return true;
    return eventType == EventAdvanced &&
           ((adv.Adv_Period == Date::Day && !adv.Adv_AdvOpt) || adv.Adv_Period == Date::Week);
}

RecurrenceStep StepRecurrence(const RecurrenceRule& rule, const Date& current, const Date& now)
{
    if (rule.eventType == EventOnce)
        return {current, false};
    Date next = nextOf(rule, current, now);
    if (skipsDaysOff(rule))
        for (int i = 0; i < kMaxDaysOffSkipped && isIsraeliDayOff(next.date()); ++i)
            next = nextOf(rule, next, next);
    return {next, !(rule.eventType == EventAdvanced && rule.hasEnd && next > rule.end)};
}

RecurrenceRule storedRule(const ReminderRecord& r)
{
    using F = ReminderField;
    r.requirePresent({F::REventType});
    if (r.REventType != EventAdvanced) {
        RecurrenceRule rule;
        rule.eventType = r.REventType;
        rule.skipDaysOff = r.Adv_SkipDaysOff;
        if (isHebrewEventType(r.REventType)) {
            r.requirePresent({F::Adv_PeriodN});
            rule.n = r.Adv_PeriodN;
            rule.anchor = storedAnchor(r);
        }
        return rule;
    }
    r.requirePresent({F::Adv_Period, F::Adv_PeriodN, F::Adv_AdvOpt, F::Adv_WeekDay, F::Adv_MonthDay,
                      F::Adv_MonthCount});
    return recurrenceRule(r.REventType, storedAdvancedRule(r));
}

std::optional<RecurrenceStep> DismissalStep(const ReminderRecord& r)
{
    const RecurrenceRule rule = storedRule(r);
    if (rule.eventType == EventOnce)
        return std::nullopt;
    r.requirePresent({ReminderField::RDate});
    return StepRecurrence(rule, r.RDate, Clock::now());
}

Occurrences NextOccurrences(const RecurrenceRule& rule, const Date& start, int count)
{
    Occurrences result;
    result.dates << start;
    const Date now = Clock::now();
    while (result.dates.size() < count) {
        const Date& current = result.dates.last();
        const RecurrenceStep step = StepRecurrence(rule, current, std::max(current, now));
        if (!step.active) {
            result.ended = true;
            break;
        }
        result.dates << step.next;
    }
    return result;
}

QList<Date> ReminderOccurrences(const ReminderRecord& r, int count)
{
    r.requirePresent({ReminderField::RDate});
    QList<Date> dates = NextOccurrences(storedRule(r), r.RDate, count).dates;
    if (!r.isNull(ReminderField::RNext))
        dates.first() = r.RNext;
    return dates;
}
