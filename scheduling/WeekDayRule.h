#pragma once

#include "platform/Clock.h"
#include "platform/Date.h"

// The next occurrence after now of the weekly advanced rule: the days ticked
// in the weekday mask (bit 0 Sunday ... bit 6 Saturday), every n weeks.
// Failures as Recurrence.h says.
Date NextWeekDay(const Date& d, short weekDayMask, short n, const Date& now = Clock::now());
