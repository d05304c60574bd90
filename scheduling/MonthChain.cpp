#include "scheduling/MonthChain.h"

#include "platform/Failure.h"

#include <algorithm>
#include <numeric>

namespace {

bool isLeapYear(qint64 y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(qint64 year, int month)
{
    static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kLength[month - 1];
}

qint64 monthIndex(const QDate& d)
{
    return qint64(d.year()) * 12 + (d.month() - 1);
}

// A chain step clamps the day to the month it lands in, so after `steps`
// steps the day is the start day capped by the shortest month met on the way.
// Month lengths other than February's repeat with the month of the year, which
// the chain runs through within `period` steps; February recurs every `period`
// steps, `yearsApart` years later, and is 28 days as soon as one of those
// years is not a leap year.
int dayAfterSteps(qint64 startIndex, int startDay, qint64 monthsPerStep, qint64 steps)
{
    int day = startDay;
    if (day <= 28)
        return day;
    const qint64 common = std::gcd(monthsPerStep, qint64(12));
    const qint64 period = 12 / common;
    const qint64 yearsApart = monthsPerStep / common;
    for (qint64 j = 1; j <= std::min(steps, period) && day > 28; ++j) {
        const qint64 index = startIndex + j * monthsPerStep;
        const qint64 year = index / 12;
        const int month = int(index % 12) + 1;
        if (month != 2) {
            day = std::min(day, daysInMonth(year, month));
            continue;
        }
        const qint64 laterVisits = (steps - j) / period;
        int february = 29;
        for (qint64 t = 0; t <= laterVisits; ++t)
            if (!isLeapYear(year + t * yearsApart)) {
                february = 28;
                break;
            }
        day = std::min(day, february);
    }
    return day;
}

Date chainDate(const Date& start, qint64 monthsPerStep, qint64 steps)
{
    const qint64 startIndex = monthIndex(start.date());
    const qint64 index = startIndex + steps * monthsPerStep;
    const qint64 year = index / 12;
    if (year > 9999)
        throw Failure::overflow();
    const int day = dayAfterSteps(startIndex, start.day(), monthsPerStep, steps);
    return Date::fromParts(QDate(int(year), int(index % 12) + 1, day), start.time());
}

} // namespace

Date firstChainDateAfter(const Date& d, qint64 monthsPerStep, const Date& now)
{
    if (d > now)
        return d;
    // Steps landing before now's month are not after now; the first landing in
    // or after it is, unless it shares now's month and is not later in it.
    const qint64 monthsBehind = monthIndex(now.date()) - monthIndex(d.date());
    const qint64 steps = std::max<qint64>(1, (monthsBehind + monthsPerStep - 1) / monthsPerStep);
    const Date candidate = chainDate(d, monthsPerStep, steps);
    return candidate > now ? candidate : chainDate(d, monthsPerStep, steps + 1);
}
