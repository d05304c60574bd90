#include "calendar/IcuHebrewCalendar.h"

#include "calendar/CalendarRefused.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

void check(UErrorCode status)
{
    if (U_FAILURE(status))
        throw CalendarRefused::icuFailure(u_errorName(status));
}

// In GMT, so that a day's fields do not depend on the local zone; not lenient,
// so that a date the year lacks is an error instead of the next day.
std::unique_ptr<icu::Calendar> createCalendar()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
        icu::TimeZone::getGMT()->clone(), icu::Locale("he_IL@calendar=hebrew"), status));
    check(status);
    if (!calendar || std::strcmp(calendar->getType(), "hebrew") != 0)
        throw CalendarRefused::icuFailure("no Hebrew calendar");
    calendar->setLenient(false);
    return calendar;
}

// An icu::Calendar is costly to create and not safe to share between threads:
// one per thread, reused.
icu::Calendar& calendar()
{
    thread_local const std::unique_ptr<icu::Calendar> calendar = createCalendar();
    return *calendar;
}

int field(icu::Calendar& c, UCalendarDateFields f)
{
    UErrorCode status = U_ZERO_ERROR;
    const int value = c.get(f, status);
    check(status);
    return value;
}

// Sets the first day of a month; false when the year lacks the month.
bool setFirstOfMonth(icu::Calendar& c, int year, HebrewMonth month)
{
    c.clear();
    c.set(year, int(month), 1);
    UErrorCode status = U_ZERO_ERROR;
    c.get(UCAL_JULIAN_DAY, status); // computes, and so validates, the fields
    if (status == U_ILLEGAL_ARGUMENT_ERROR)
        return false;
    check(status);
    return true;
}

qint64 firstDayOf(int year, HebrewMonth month)
{
    icu::Calendar& c = calendar();
    return setFirstOfMonth(c, year, month) ? field(c, UCAL_JULIAN_DAY) : 0;
}

IcuHebrew::YearStarts askIcu(int year)
{
    IcuHebrew::YearStarts starts{};
    for (int m = 0; m < 13; ++m)
        starts.month[m] = firstDayOf(year, HebrewMonth(m));
    starts.nextYear = firstDayOf(year + 1, HebrewMonth::Tishri);
    return starts;
}

std::mutex g_yearsMutex;
std::map<int, IcuHebrew::YearStarts> g_years; // bounded by the callers' range of years

} // namespace

namespace IcuHebrew {

int YearStarts::monthLength(HebrewMonth m) const
{
    if (!hasMonth(m))
        return 0;
    for (int next = int(m) + 1; next < 13; ++next)
        if (month[next] != 0)
            return int(month[next] - month[int(m)]);
    return int(nextYear - month[int(m)]);
}

const YearStarts& yearStarts(int year)
{
    const std::lock_guard lock(g_yearsMutex);
    auto found = g_years.find(year);
    if (found == g_years.end())
        found = g_years.emplace(year, askIcu(year)).first;
    return found->second; // map nodes stay put: the reference outlives the lock
}

HebrewDate addMonths(int year, HebrewMonth month, int count)
{
    icu::Calendar& c = calendar();
    if (!setFirstOfMonth(c, year, month))
        throw CalendarRefused::noSuchDate();
    UErrorCode status = U_ZERO_ERROR;
    c.add(UCAL_MONTH, count, status);
    check(status);
    return {field(c, UCAL_EXTENDED_YEAR), HebrewMonth(field(c, UCAL_MONTH)), field(c, UCAL_DATE)};
}

} // namespace IcuHebrew
