#include "Clock.h"

#include <optional>

namespace {
std::optional<Date> g_fixed;
}

namespace Clock {

Date now()
{
    if (g_fixed)
        return *g_fixed;
    return Date::fromQDateTime(QDateTime::currentDateTime());
}

void setNow(const Date& fixed) { g_fixed = fixed; }

void advance(qint64 seconds) { g_fixed = now().addSeconds(seconds); }

void useSystemClock() { g_fixed.reset(); }

} // namespace Clock
