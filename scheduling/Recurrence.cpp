#include "scheduling/Recurrence.h"
#include "scheduling/MonthChain.h"
#include "scheduling/MonthRule.h"
#include "scheduling/RuleChecks.h"
#include "scheduling/WeekDayRule.h"
#include "store/Reminder.h"

namespace {

// Seconds of the exact units: minute, hour, day, week.
constexpr qint64 kUnitSeconds[] = {60, 3600, 86400, 7 * 86400};

TypeStep requireStep(short eventType)
{
    if (const std::optional<TypeStep> step = stepOfType(eventType))
        return *step;
    throw RuleRefused(QStringLiteral("Invalid recurrence type %1").arg(eventType),
                      RuleRefused::EventType);
}

} // namespace

// The first occurrence strictly after now, whole steps from d. Missed steps
// are counted, not walked: a series years overdue costs no more than one
// step. Exact units divide; months and years follow the clamping chain.
Date NextByPeriod(const Date& d, short unit, short n, const Date& now)
{
    requireUnit(unit);
    requireStepCount(n);
    if (d > now)
        return d;
    if (unit == Date::Month || unit == Date::Year)
        return firstChainDateAfter(d, unit == Date::Year ? qint64(n) * 12 : n, now);
    const qint64 step = n * kUnitSeconds[unit];
    const qint64 steps = (now.totalSeconds() - d.totalSeconds()) / step + 1;
    return d.addSeconds(steps * step);
}

Date NextByType(const Date& d, short eventType, const Date& now)
{
    const TypeStep step = requireStep(eventType);
    return NextByPeriod(d, step.unit, step.count, now);
}

Date NextAdvanced(const Date& d, short unit, short n, bool advanced, short weekDayMask,
                  short monthDayKind, short monthCount, const Date& now, bool holidaysOff)
{
    if (!advanced)
        return NextByPeriod(d, unit, n, now);
    if (unit == Date::Week) {
        // No day chosen (a mask not above 0) means plain N-week steps.
        return weekDayMask <= 0 ? NextByPeriod(d, unit, n, now)
                                : NextWeekDay(d, weekDayMask, n, now);
    }
    if (unit == Date::Month)
        return NextMonthly(d, monthDayKind, monthCount, n, holidaysOff);
    // Only weeks and months have an advanced rule; anything else would park
    // the reminder on the zero date, due forever, so it is refused.
    throw RuleRefused(
        QStringLiteral("Invalid recurrence rule: advanced rule for unit %1").arg(unit),
        RuleRefused::AdvancedUnit);
}
