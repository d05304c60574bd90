#pragma once

#include "calendar/HebrewDate.h"

#include <QString>

// The day and month of a Hebrew-calendar series: those of its start date,
// kept apart from the current occurrence so that an occurrence moved to
// another day never moves the series.
struct HebrewAnchor
{
    HebrewMonth month = HebrewMonth::Tishri;
    int day = 1;

    bool operator==(const HebrewAnchor&) const = default;
};

HebrewAnchor hebrewAnchorOf(const QDate& start);

// Where a series falls in a year or month that lacks its day, one rule per
// case, after the custom for birthdays and bar mitzvahs (RFC 7529's names):
// - 30 Heshvan or 30 Kislev in a year whose month has 29 days: FORWARD, to
//   1 Kislev or 1 Tevet.
// - Adar of a common year, in a leap year: Adar II.
// - Adar I or Adar II of a leap year, in a common year: Adar.
// - 30 Adar I in a common year: FORWARD, to 1 Nisan.
// - Monthly, day 30 in a month of 29 days: FORWARD, to the 1st of the next
//   month.
// The reasons are given where the rules are decided (HebrewMissingDays.cpp).

// The day of the yearly series in a Hebrew year.
HebrewDate hebrewYearlyDay(const HebrewAnchor& anchor, int year);
// The day of the monthly series in a month that the year has.
HebrewDate hebrewMonthlyDay(int year, HebrewMonth month, int anchorDay);

// The rules above for the user, in Hebrew (a tooltip, a help text).
QString hebrewMissingDaysText();
