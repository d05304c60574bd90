#pragma once

#include <QDate>

#include <optional>

// Hebrew months as ICU numbers them. Adar I exists in leap years only; month 6
// is Adar in a common year and Adar II in a leap year, so "Adar" keeps its
// number whatever the year.
enum class HebrewMonth {
    Tishri = 0,
    Heshvan = 1,
    Kislev = 2,
    Tevet = 3,
    Shevat = 4,
    AdarI = 5,
    Adar = 6,
    Nisan = 7,
    Iyar = 8,
    Sivan = 9,
    Tamuz = 10,
    Av = 11,
    Elul = 12,
};

struct HebrewDate
{
    int year = 0; // from the creation, 5787 = September 2026 to September 2027
    HebrewMonth month = HebrewMonth::Tishri;
    int day = 0;

    bool operator==(const HebrewDate&) const = default;
};

// The calendar works on the Gregorian years 1900-2200 (their dates, and the
// Hebrew years 5660-5961 that hold them). Anything outside throws
// CalendarRefused (CalendarRefused.h), as does a failure of ICU itself.
QDate firstCalendarDay(); // 1 January 1900
QDate lastCalendarDay();  // 31 December 2200
int firstHebrewYear();    // 5660
int lastHebrewYear();     // 5961

HebrewDate hebrewDateOf(const QDate& date);
// No date when the Hebrew date does not exist (30 Heshvan in a year whose
// Heshvan has 29 days, Adar I in a common year, a day or month out of bounds).
std::optional<QDate> gregorianDateOf(const HebrewDate& date);

bool isHebrewLeapYear(int year);
int monthsInHebrewYear(int year); // 12 or 13
// 29 or 30; 0 for Adar I in a common year.
int daysInHebrewMonth(int year, HebrewMonth month);
