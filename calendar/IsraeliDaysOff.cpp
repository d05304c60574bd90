#include "calendar/IsraeliDaysOff.h"

#include "calendar/CalendarRefused.h"
#include "calendar/HebrewDate.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {

QDate dayOf(int hebrewYear, HebrewMonth month, int day)
{
    return *gregorianDateOf({hebrewYear, month, day}); // holidays fall on days every year has
}

// The day the state celebrates: 5 Iyar, unless that is Friday or Saturday
// (then the Thursday before, 4 or 3 Iyar, so that neither it nor the
// Memorial Day before it touches Shabbat) or, since 2004, Monday (then
// Tuesday 6 Iyar, so that the Memorial Day's ceremonies do not start on
// Saturday night). 5 Iyar never falls on Sunday, Tuesday or Thursday.
QDate yomHaAtzmaut(int hebrewYear)
{
    const QDate fifthOfIyar = dayOf(hebrewYear, HebrewMonth::Iyar, 5);
    switch (fifthOfIyar.dayOfWeek()) {
    case Qt::Friday:
        return fifthOfIyar.addDays(-1);
    case Qt::Saturday:
        return fifthOfIyar.addDays(-2);
    case Qt::Monday:
        return fifthOfIyar.year() >= 2004 ? fifthOfIyar.addDays(1) : fifthOfIyar;
    default:
        return fifthOfIyar;
    }
}

constexpr int kFirstYomHaAtzmaut = 1949;

// Nisan to Elul of a Gregorian year belong to the Hebrew year that began the
// autumn before; the autumn holidays to the one that begins in it.
QList<DayOff> computeDaysOff(int gregorianYear)
{
    const int spring = hebrewDateOf(QDate(gregorianYear, 1, 1)).year;
    const int autumn = spring + 1;
    QList<DayOff> days{
        {dayOf(spring, HebrewMonth::Nisan, 15), QStringLiteral("פסח")},
        {dayOf(spring, HebrewMonth::Nisan, 21), QStringLiteral("שביעי של פסח")},
        {dayOf(spring, HebrewMonth::Sivan, 6), QStringLiteral("שבועות")},
        {dayOf(autumn, HebrewMonth::Tishri, 1), QStringLiteral("ראש השנה א'")},
        {dayOf(autumn, HebrewMonth::Tishri, 2), QStringLiteral("ראש השנה ב'")},
        {dayOf(autumn, HebrewMonth::Tishri, 10), QStringLiteral("יום כיפור")},
        {dayOf(autumn, HebrewMonth::Tishri, 15), QStringLiteral("סוכות")},
        {dayOf(autumn, HebrewMonth::Tishri, 22), QStringLiteral("שמיני עצרת")},
    };
    if (gregorianYear >= kFirstYomHaAtzmaut)
        days.append({yomHaAtzmaut(spring), QStringLiteral("יום העצמאות")});
    std::sort(days.begin(), days.end(),
              [](const DayOff& a, const DayOff& b) { return a.date < b.date; });
    return days;
}

std::mutex g_cacheMutex;
std::map<int, QList<DayOff>> g_cache; // by Gregorian year, at most 301 years

} // namespace

QList<DayOff> israeliDaysOff(int gregorianYear)
{
    if (gregorianYear < firstCalendarDay().year() || gregorianYear > lastCalendarDay().year())
        throw CalendarRefused::outOfRange();
    const std::lock_guard lock(g_cacheMutex);
    auto found = g_cache.find(gregorianYear);
    if (found == g_cache.end())
        found = g_cache.emplace(gregorianYear, computeDaysOff(gregorianYear)).first;
    return found->second;
}

bool isIsraeliDayOff(const QDate& date)
{
    if (!date.isValid() || date < firstCalendarDay() || date > lastCalendarDay())
        return false;
    const QList<DayOff> days = israeliDaysOff(date.year());
    return std::any_of(days.begin(), days.end(), [&](const DayOff& d) { return d.date == date; });
}
