#pragma once

#include "platform/Date.h"

// The first date after `now` of the chain d, d + m months, (d + m) + m months,
// ... where every step starts from the previous result, so a day clamped to a
// short month stays clamped. Computed without walking the chain; d itself
// when it is already after now. Leaving the date range throws Failure.
Date firstChainDateAfter(const Date& d, qint64 monthsPerStep, const Date& now);
