#pragma once

#include "calendar/HebrewDate.h"

// Checks of a Hebrew-calendar series as the user gives it. Each throws
// CalendarRefused, whose description tells the user why in Hebrew.

// At least one month or year between occurrences.
void requireHebrewStepCount(short n);
// A start date that exists in its year ("בשנת תשפ"ו אין ל' בחשוון") and lies
// in the calendar's range.
void requireHebrewStart(const HebrewDate& start);
