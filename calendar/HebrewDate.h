#pragma once

#include "calendar/HebrewMonth.h"

#include <QDate>

#include <optional>

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
