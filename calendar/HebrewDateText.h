#pragma once

#include "calendar/HebrewDate.h"

#include <QString>

// Hebrew dates as the user reads them, in Hebrew numerals (HebrewNumerals.h).

// "תשרי" ... "אלול"; Adar is "אדר" in a common year and "אדר ב'" in a leap
// year, Adar I "אדר א'".
QString hebrewMonthName(HebrewMonth month, bool leapYear);
// The year without its thousands: 5787 "תשפ"ז".
QString hebrewYearText(int year);
// "ט"ו בשבט", "א' בתשרי".
QString formatHebrewDayMonth(const HebrewDate& date);
// "כ"ז בכסלו תשפ"ז".
QString formatHebrewDate(const HebrewDate& date);
QString formatHebrewDate(const QDate& date);
// The same for a date shown beside a Gregorian one: the empty text for a
// date outside the calendar's range (or an invalid one), never a failure.
QString hebrewDateBeside(const QDate& date);
