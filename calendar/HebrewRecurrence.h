#pragma once

#include "calendar/HebrewMissingDays.h"
#include "platform/Clock.h"
#include "platform/Date.h"

// Next occurrences of the series that follow the Hebrew calendar. As with the
// Gregorian intervals: the first occurrence strictly after now, reached from
// the current one in whole steps (missed ones are skipped), the current one
// itself when it lies in the future; the time of day stays as the wall clock
// shows it. The anchor (hebrewAnchorOf the start date) places every step, so
// an occurrence moved by a missing day (HebrewMissingDays.h) does not move
// the series. n below 1 throws CalendarRefused even when the current
// occurrence is in the future; so does an occurrence outside 1900-2200.

// Every n Hebrew months on the anchor's day (its month is not used).
Date nextHebrewMonthly(const Date& current, const HebrewAnchor& anchor, short n,
                       const Date& now = Clock::now());
// Every n Hebrew years on the anchor's day and month.
Date nextHebrewYearly(const Date& current, const HebrewAnchor& anchor, short n,
                      const Date& now = Clock::now());
