#include "scheduling/Occurrences.h"

#include "platform/Clock.h"
#include "scheduling/Recurrence.h"
#include "store/Reminder.h"

#include <algorithm>

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
    rule.hasEnd = !adv.Adv_NoEnd && adv.Adv_DateEnd.has_value();
    rule.end = adv.Adv_DateEnd.value_or(Date());
    return rule;
}

RecurrenceStep StepRecurrence(const RecurrenceRule& rule, const Date& current, const Date& now)
{
    if (rule.eventType == EventOnce)
        return {current, false};
    if (rule.eventType != EventAdvanced)
        return {NextByType(current, rule.eventType, now), true};
    const Date next = NextAdvanced(current, rule.unit, rule.n, rule.advanced, rule.weekDayMask,
                                   rule.monthDayKind, rule.monthCount, now);
    return {next, !(rule.hasEnd && next > rule.end)};
}

RecurrenceRule storedRule(const ReminderRecord& r)
{
    using F = ReminderField;
    r.requirePresent({F::REventType});
    if (r.REventType != EventAdvanced) {
        RecurrenceRule rule;
        rule.eventType = r.REventType;
        return rule;
    }
    r.requirePresent({F::Adv_Period, F::Adv_PeriodN, F::Adv_AdvOpt, F::Adv_WeekDay, F::Adv_MonthDay,
                      F::Adv_MonthCount});
    AdvancedRule adv = r;
    adv.Adv_NoEnd = adv.Adv_NoEnd || r.isNull(F::Adv_NoEnd);
    return recurrenceRule(r.REventType, adv);
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
