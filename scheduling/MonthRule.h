#pragma once

#include "platform/Date.h"

// The monthly advanced rule: the monthCount-th (0 first ... 4 last) day of the
// kind monthDayKind (0-9) of every n-th month. Failures as Recurrence.h says.
Date NextMonthly(const Date& d, short monthDayKind, short monthCount, short n);
bool IsMonthRuleDay(const Date& d, short monthDayKind, short monthCount);
