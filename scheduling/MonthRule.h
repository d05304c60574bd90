#pragma once

#include "platform/Date.h"

// The monthly advanced rule: the monthCount-th (0 first ... 4 last) day of the
// kind monthDayKind (0-9) of every n-th month. With holidaysOff, Israel's days
// off are not working days: the working-day kind (8) passes over them and the
// weekend kind (9) counts them with Friday and Saturday. Failures as
// Recurrence.h says.
Date NextMonthly(const Date& d, short monthDayKind, short monthCount, short n,
                 bool holidaysOff = false);
bool IsMonthRuleDay(const Date& d, short monthDayKind, short monthCount, bool holidaysOff = false);
