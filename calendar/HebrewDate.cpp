#include "calendar/HebrewDate.h"

#include "calendar/CalendarRefused.h"
#include "calendar/IcuHebrewCalendar.h"

namespace {

void requireCalendarDay(const QDate& date)
{
    if (!date.isValid() || date < firstCalendarDay() || date > lastCalendarDay())
        throw CalendarRefused::outOfRange();
}

void requireHebrewYear(int year)
{
    if (year < firstHebrewYear() || year > lastHebrewYear())
        throw CalendarRefused::outOfRange();
}

bool isMonth(HebrewMonth month)
{
    return month >= HebrewMonth::Tishri && month <= HebrewMonth::Elul;
}

} // namespace

QDate firstCalendarDay()
{
    return QDate(1900, 1, 1);
}

QDate lastCalendarDay()
{
    return QDate(2200, 12, 31);
}

int firstHebrewYear()
{
    static const int year = hebrewDateOf(firstCalendarDay()).year;
    return year;
}

int lastHebrewYear()
{
    static const int year = hebrewDateOf(lastCalendarDay()).year;
    return year;
}

// The Hebrew year that holds a day: the one that began in the autumn before
// its Gregorian year, or the one that began in that autumn.
HebrewDate hebrewDateOf(const QDate& date)
{
    requireCalendarDay(date);
    const qint64 day = date.toJulianDay();
    int year = date.year() + 3760;
    if (day >= IcuHebrew::yearStarts(year).nextYear)
        ++year;
    const IcuHebrew::YearStarts& starts = IcuHebrew::yearStarts(year);
    int month = 12;
    while (starts.month[month] == 0 || starts.month[month] > day)
        --month;
    return {year, HebrewMonth(month), int(day - starts.month[month]) + 1};
}

std::optional<QDate> gregorianDateOf(const HebrewDate& date)
{
    requireHebrewYear(date.year);
    if (!isMonth(date.month) || date.day < 1 || date.day > daysInHebrewMonth(date.year, date.month))
        return std::nullopt;
    const qint64 firstDay = IcuHebrew::yearStarts(date.year).month[int(date.month)];
    const QDate gregorian = QDate::fromJulianDay(firstDay + date.day - 1);
    requireCalendarDay(gregorian); // the Hebrew years at the ends reach past the range
    return gregorian;
}

bool isHebrewLeapYear(int year)
{
    requireHebrewYear(year);
    return IcuHebrew::yearStarts(year).hasMonth(HebrewMonth::AdarI);
}

int monthsInHebrewYear(int year)
{
    return isHebrewLeapYear(year) ? 13 : 12;
}

int daysInHebrewMonth(int year, HebrewMonth month)
{
    requireHebrewYear(year);
    return isMonth(month) ? IcuHebrew::yearStarts(year).monthLength(month) : 0;
}
