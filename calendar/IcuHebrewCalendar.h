#pragma once

#include "calendar/HebrewMonth.h"

#include <QtGlobal>

// The one place that talks to ICU and its Hebrew calendar. What a year is
// made of, the days on which its months begin, comes from ICU once per year
// and is kept; dates are counted from those beginnings. The range of years is
// the caller's to check. Throws CalendarRefused when ICU fails.
namespace IcuHebrew {

// Julian day numbers (as QDate counts them) of the first day of each month,
// indexed by HebrewMonth; 0 for Adar I in a common year.
struct YearStarts
{
    qint64 month[13];
    qint64 nextYear; // 1 Tishri of the following year

    bool hasMonth(HebrewMonth m) const { return month[int(m)] != 0; }
    int monthLength(HebrewMonth m) const; // 0 when the year lacks the month
};

const YearStarts& yearStarts(int year);

// The first day of the month count months after the given one (before it,
// when count is negative), through the months the years really have.
HebrewDate addMonths(int year, HebrewMonth month, int count);

} // namespace IcuHebrew
