#include "platform/Clock.h"

#include <optional>

namespace {

std::optional<Date> g_fixed;
constexpr double kMsecsPerDay = 86400000.0;

} // namespace

namespace Clock {

Date now()
{
    if (g_fixed)
        return *g_fixed;
    return Date::fromQDateTime(QDateTime::currentDateTime());
}

double preciseSerial()
{
    if (g_fixed)
        return g_fixed->serial();
    const QDateTime precise = QDateTime::currentDateTime();
    // The whole seconds through the date type, the milliseconds on top.
    return Date::fromQDateTime(precise).serial() + precise.time().msec() / kMsecsPerDay;
}

bool hasPassed(const Date& moment)
{
    return msecsUntil(moment) < 0;
}

qint64 msecsUntil(const Date& moment)
{
    const qint64 nowMs =
        g_fixed ? g_fixed->toQDateTime().toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
    // Through the real instant, so a daylight-saving change in between counts as it happens.
    return moment.toQDateTime().toMSecsSinceEpoch() - nowMs;
}

qint64 secondsSinceEpoch()
{
    return g_fixed ? g_fixed->toQDateTime().toSecsSinceEpoch() : QDateTime::currentSecsSinceEpoch();
}

void setNow(const Date& fixed)
{
    g_fixed = fixed;
}

void advance(qint64 seconds)
{
    g_fixed = now().addSeconds(seconds);
}

void useSystemClock()
{
    g_fixed.reset();
}

} // namespace Clock
