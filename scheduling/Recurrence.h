#pragma once

#include "platform/Clock.h"
#include "platform/Date.h"

// Next occurrences of the recurrence rules. "Now" is the clock seam's unless
// the caller gives another (a preview of later occurrences does).
// Rules that could never produce an occurrence (N below 1, a weekday mask
// with no day bit or above 127, a day kind outside 0-9, an occurrence outside
// 0-4, a unit outside 0-5, an unknown recurrence type, an advanced rule for
// another unit than weeks or months) throw RuleRefused (RuleChecks.h) instead
// of walking without end, even when d lies in the future. Leaving the date
// range throws Failure. The week and month rules of the advanced type:
// WeekDayRule.h, MonthRule.h (holidaysOff is its days off setting).

Date NextByType(const Date& d, short eventType, const Date& now = Clock::now());
Date NextAdvanced(const Date& d, short unit, short n, bool advanced, short weekDayMask,
                  short monthDayKind, short monthCount, const Date& now = Clock::now(),
                  bool holidaysOff = false);
Date NextByPeriod(const Date& d, short unit, short n, const Date& now = Clock::now());
