#include "scheduling/RuleChecks.h"

namespace {

[[noreturn]] void refuse(const char* what, short value, RuleRefused::Value part)
{
    throw RuleRefused(
        QStringLiteral("Invalid recurrence rule: %1 %2").arg(QLatin1String(what)).arg(value), part);
}

} // namespace

void requireStepCount(short n)
{
    if (n < 1)
        refuse("step count", n, RuleRefused::StepCount);
}

void requireUnit(short unit)
{
    if (unit < 0 || unit > 5)
        refuse("unit", unit, RuleRefused::Unit);
}

void requireWeekDayMask(short mask)
{
    // Bits 0-6 are Sunday to Saturday; at least one of them must be set.
    if (mask < 1 || mask > 127)
        refuse("weekday mask", mask, RuleRefused::WeekDayMask);
}

void requireMonthRule(short monthDayKind, short monthCount)
{
    if (monthDayKind < 0 || monthDayKind > 9)
        refuse("day kind", monthDayKind, RuleRefused::DayKind);
    if (monthCount < 0 || monthCount > 4)
        refuse("occurrence", monthCount, RuleRefused::Occurrence);
}
