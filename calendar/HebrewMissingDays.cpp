#include "calendar/HebrewMissingDays.h"

#include "calendar/IcuHebrewCalendar.h"

HebrewAnchor hebrewAnchorOf(const QDate& start)
{
    const HebrewDate date = hebrewDateOf(start);
    return {date.month, date.day};
}

// Day 30 is the first of the two days of Rosh Chodesh of the next month; a
// month of 29 days keeps Rosh Chodesh on the 1st alone. So the custom keeps a
// 30th that the month lacks on the 1st of the next month (FORWARD): a child
// born on 30 Heshvan becomes bar mitzvah on 1 Kislev, one born on 30 Adar I
// on 1 Nisan in a common year. Monthly series follow the same rule, so both
// kinds of series agree on every date.
HebrewDate hebrewMonthlyDay(int year, HebrewMonth month, int anchorDay)
{
    if (anchorDay <= daysInHebrewMonth(year, month))
        return {year, month, anchorDay};
    return IcuHebrew::addMonths(year, month, 1);
}

// Adar of a common year becomes Adar II in a leap year: the custom for
// birthdays and bar mitzvahs (the Rema on Orach Chayim 55:10), and Adar II
// is the Adar in which Purim is kept. (A yahrzeit is kept by many in Adar I;
// such a series can start in Adar I.) ICU numbers Adar and Adar II alike, so
// the month stays as it is. Adar I and Adar II of a leap year fall in the one
// Adar of a common year; only Adar I, which the common year lacks, needs the
// move, and its 30th then meets the 29 days of Adar and goes on to 1 Nisan.
HebrewDate hebrewYearlyDay(const HebrewAnchor& anchor, int year)
{
    const bool adarIWithoutLeap = anchor.month == HebrewMonth::AdarI && !isHebrewLeapYear(year);
    return hebrewMonthlyDay(year, adarIWithoutLeap ? HebrewMonth::Adar : anchor.month, anchor.day);
}

QString hebrewMissingDaysText()
{
    return QStringLiteral("תאריך שאינו קיים בשנה או בחודש:\n"
                          "• ל' בחשוון או ל' בכסלו, בשנה שבה לחודש 29 ימים – א' בחודש שאחריו.\n"
                          "• אדר של שנה פשוטה, בשנה מעוברת – אדר ב'.\n"
                          "• אדר א' או אדר ב', בשנה פשוטה – אדר.\n"
                          "• ל' באדר א', בשנה פשוטה – א' בניסן.\n"
                          "• בחזרה חודשית, ל' בחודש של 29 ימים – א' בחודש שאחריו.");
}
