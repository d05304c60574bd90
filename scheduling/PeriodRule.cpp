#include "Clock.h"
#include "Failure.h"
#include "MonthChain.h"
#include "Recurrence.h"
#include "RuleChecks.h"

namespace {

qint64 unitSeconds(short unit)
{
    switch (unit) {
    case Date::Minute:
        return 60;
    case Date::Hour:
        return 3600;
    case Date::Day:
        return 86400;
    default:
        return 7 * 86400;
    }
}

// The step of each simple recurrence type as a unit and a count.
struct Step
{
    short unit;
    short count;
};

Step stepOfType(short eventType)
{
    switch (eventType) {
    case 1:
        return {Date::Hour, 1};
    case 5:
        return {Date::Day, 1};
    case 10:
        return {Date::Week, 1};
    case 20:
        return {Date::Month, 1};
    case 30:
        return {Date::Month, 2};
    case 60:
        return {Date::Year, 1};
    default:
        throw Failure(QStringLiteral("Invalid recurrence type %1").arg(eventType), 5);
    }
}

} // namespace

// The first occurrence strictly after now, whole steps from d. Missed steps
// are counted, not walked: a series years overdue costs no more than one
// step. Exact units divide; months and years follow the clamping chain.
Date NextByPeriod(const Date& d, short unit, short n)
{
    requireUnit(unit);
    requireStepCount(n);
    const Date now = Clock::now();
    if (d > now)
        return d;
    if (unit == Date::Month || unit == Date::Year)
        return firstChainDateAfter(d, unit == Date::Year ? qint64(n) * 12 : n, now);
    const qint64 step = n * unitSeconds(unit);
    const qint64 steps = (now.totalSeconds() - d.totalSeconds()) / step + 1;
    return d.addSeconds(steps * step);
}

Date NextByType(const Date& d, short eventType)
{
    const Step step = stepOfType(eventType);
    return NextByPeriod(d, step.unit, step.count);
}

Date NextAdvanced(const Date& d, short unit, short n, bool advanced, short weekDayMask,
                  short monthDayKind, short monthCount)
{
    if (!advanced)
        return NextByPeriod(d, unit, n);
    if (unit == Date::Week) {
        // No day chosen means plain N-week steps.
        return weekDayMask == 0 ? NextByPeriod(d, unit, n) : NextWeekDay(d, weekDayMask, n);
    }
    if (unit == Date::Month)
        return NextMonthly(d, monthDayKind, monthCount, n);
    // Only weeks and months have an advanced rule; anything else would park
    // the reminder on the zero date, due forever, so it is refused.
    throw Failure(QStringLiteral("Invalid recurrence rule: advanced rule for unit %1").arg(unit),
                  5);
}
