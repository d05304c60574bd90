#pragma once

#include "Clock.h"
#include "Date.h"

#include <QtGlobal>

#include <optional>

// Next occurrences of the recurrence rules. "Now" is the clock seam's unless
// the caller gives another (a preview of later occurrences does).
// Rules that could never produce an occurrence (N below 1, a weekday mask
// with no day bit or above 127, a day kind outside 0-9, an occurrence outside
// 0-4, a unit outside 0-5, an unknown recurrence type, an advanced rule for
// another unit than weeks or months) throw RuleRefused (RuleChecks.h) instead
// of walking without end, even when d lies in the future. Leaving the date
// range throws Failure.

Date NextByType(const Date& d, short eventType, const Date& now = Clock::now());
Date NextAdvanced(const Date& d, short unit, short n, bool advanced, short weekDayMask,
                  short monthDayKind, short monthCount, const Date& now = Clock::now());
Date NextByPeriod(const Date& d, short unit, short n, const Date& now = Clock::now());
Date NextWeekDay(const Date& d, short weekDayMask, short n, const Date& now = Clock::now());
Date NextMonthly(const Date& d, short monthDayKind, short monthCount, short n);
bool IsMonthRuleDay(const Date& d, short monthDayKind, short monthCount);

// Moves one reminder on to its next occurrence, or switches it off; a rule
// that yields no next occurrence switches it off too, logged as
// "Reschedular: <description>". Given shownNext, the row is moved on only
// while its RNext is still that moment. Any other failure is logged the same
// way and leaves the row unchanged.
void Reschedular(qint32 reminderId, const std::optional<Date>& shownNext = std::nullopt);
