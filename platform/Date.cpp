#include "platform/Date.h"

#include "platform/Failure.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
const QDate kZeroDay(1899, 12, 30);
const qint64 kMinSeconds = kZeroDay.daysTo(Date::firstDay()) * kSecondsPerDay;
const qint64 kMaxSeconds = kZeroDay.daysTo(Date::lastDay()) * kSecondsPerDay + kSecondsPerDay - 1;

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

[[noreturn]] void throwOverflow()
{
    throw Failure::overflow();
}

// count * unitSeconds, refusing counts that could never stay inside the range
// (and would overflow the multiplication itself).
qint64 scaled(qint64 count, qint64 unitSeconds)
{
    if (count > (kMaxSeconds - kMinSeconds) / unitSeconds ||
        count < (kMinSeconds - kMaxSeconds) / unitSeconds)
        throwOverflow();
    return count * unitSeconds;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString fourDigits(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

} // namespace

QDate Date::firstDay()
{
    return QDate(100, 1, 1);
}

QDate Date::lastDay()
{
    return QDate(9999, 12, 31);
}

Date Date::checked(qint64 seconds)
{
    if (seconds < kMinSeconds || seconds > kMaxSeconds)
        throwOverflow();
    return Date(seconds);
}

Date Date::fromSerial(double serial)
{
    // Range-check the double before converting: far-out values do not fit qint64.
    constexpr double kDayMargin = 2;
    if (!std::isfinite(serial) || serial < double(kMinSeconds / kSecondsPerDay) - kDayMargin ||
        serial > double(kMaxSeconds / kSecondsPerDay) + kDayMargin)
        throwOverflow();
    // Negative serials keep the time of day as a positive fraction:
    // -1.25 is 29/12/1899 06:00.
    const double wholeDays = std::trunc(serial);
    const double fraction = std::fabs(serial - wholeDays);
    qint64 secondsOfDay = std::llround(fraction * kSecondsPerDay);
    const auto days = static_cast<qint64>(wholeDays);
    return checked(days * kSecondsPerDay + secondsOfDay);
}

Date Date::fromQDateTime(const QDateTime& local)
{
    if (!local.isValid())
        throw Failure::typeMismatch();
    const QDateTime l = local.toLocalTime();
    return fromParts(l.date(), l.time());
}

Date Date::fromParts(const QDate& date, const QTime& time)
{
    if (!date.isValid() || !time.isValid())
        throw Failure::typeMismatch();
    return checked(kZeroDay.daysTo(date) * kSecondsPerDay + time.msecsSinceStartOfDay() / 1000);
}

Date Date::fromParts(int year, int month, int day, int hour, int minute, int second)
{
    return fromParts(QDate(year, month, day), QTime(hour, minute, second));
}

double Date::serial() const
{
    const qint64 days = floorDiv(m_seconds, kSecondsPerDay);
    const double fraction = double(m_seconds - days * kSecondsPerDay) / kSecondsPerDay;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QDate Date::date() const
{
    return kZeroDay.addDays(floorDiv(m_seconds, kSecondsPerDay));
}

QTime Date::time() const
{
    const qint64 s = m_seconds - floorDiv(m_seconds, kSecondsPerDay) * kSecondsPerDay;
    return QTime(0, 0).addSecs(int(s));
}

QDateTime Date::toQDateTime() const
{
    QDateTime local(date(), time());
    if (local.isValid())
        return local;
    // The wall-clock time falls in a daylight-saving gap, which Qt reports as
    // invalid. Read it with the offset in force just before the gap, which
    // lands the same distance after the gap's end.
    const QDateTime asUtc(date(), time(), Qt::UTC);
    const int offsetBefore = asUtc.addDays(-1).toLocalTime().offsetFromUtc();
    return asUtc.addSecs(-offsetBefore).toLocalTime();
}

int Date::weekday() const
{
    // Qt numbers Monday 1 ... Sunday 7.
    return date().dayOfWeek() % 7 + 1;
}

Date Date::datePart() const
{
    return Date(floorDiv(m_seconds, kSecondsPerDay) * kSecondsPerDay);
}

Date Date::withoutSeconds() const
{
    return Date(floorDiv(m_seconds, 60) * 60);
}

Date Date::addSeconds(qint64 seconds) const
{
    // Guard the addition itself before the range check.
    if (seconds > kMaxSeconds - kMinSeconds || seconds < kMinSeconds - kMaxSeconds)
        throwOverflow();
    return checked(m_seconds + seconds);
}

Date Date::addMinutes(qint64 minutes) const
{
    return addSeconds(scaled(minutes, 60));
}

Date Date::addHours(qint64 hours) const
{
    return addSeconds(scaled(hours, 3600));
}

Date Date::addDays(qint64 days) const
{
    return addSeconds(scaled(days, kSecondsPerDay));
}

Date Date::addYears(int years) const
{
    // More than 10000 years always leaves the range; refusing early keeps
    // years * 12 inside int.
    if (years > 10000 || years < -10000)
        throwOverflow();
    return addMonths(years * 12);
}

Date Date::addMonths(int months) const
{
    const QDate d = date();
    const qint64 monthIndex = qint64(d.year()) * 12 + (d.month() - 1) + months;
    const qint64 year = floorDiv(monthIndex, 12);
    if (year < 100 || year > 9999)
        throwOverflow();
    const int month = int(monthIndex - year * 12) + 1;
    const int lastDay = QDate(int(year), month, 1).daysInMonth();
    const QDate target(int(year), month, qMin(d.day(), lastDay));
    return fromParts(target, time());
}

Date Date::add(int unit, int count) const
{
    switch (unit) {
    case Minute:
        return addMinutes(count);
    case Hour:
        return addHours(count);
    case Day:
        return addDays(count);
    case Week:
        return addDays(qint64(count) * 7);
    case Month:
        return addMonths(count);
    case Year:
        return addYears(count);
    default:
        throw Failure::invalidCall();
    }
}

QString formatDateTime(const Date& d)
{
    return twoDigits(d.day()) + '/' + twoDigits(d.month()) + '/' + fourDigits(d.year()) + ' ' +
           twoDigits(d.hour()) + ':' + twoDigits(d.minute());
}

QString formatDateOnly(const Date& d)
{
    return formatDateTime(d).left(10);
}

QString formatNextDate(const Date& d)
{
    return twoDigits(d.day()) + twoDigits(d.month()) + fourDigits(d.year()) + twoDigits(d.hour()) +
           twoDigits(d.minute());
}

QString formatLogStamp(const Date& d)
{
    return twoDigits(d.day()) + '/' + twoDigits(d.month()) + '/' + twoDigits(d.year() % 100) + ' ' +
           twoDigits(d.hour()) + ':' + twoDigits(d.minute()) + ':' + twoDigits(d.second()) + ' ';
}

namespace {

// Digits only, at the positions not listed as separators.
bool digitsAround(const QString& text, std::initializer_list<qsizetype> separators)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (std::find(separators.begin(), separators.end(), i) == separators.end() &&
            (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')))
            return false;
    return true;
}

std::optional<Date> realMoment(int year, int month, int day, int hour, int minute)
{
    const QDate date(year, month, day);
    const QTime time(hour, minute);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    try {
        return Date::fromParts(date, time);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<Date> parseNextDate(const QString& text)
{
    if (text.size() != 12 || !digitsAround(text, {}))
        return std::nullopt;
    const auto num = [&](int from, int len) { return text.mid(from, len).toInt(); };
    return realMoment(num(4, 4), num(2, 2), num(0, 2), num(8, 2), num(10, 2));
}

QString formatIsoMinute(const Date& d)
{
    return fourDigits(d.year()) + '-' + twoDigits(d.month()) + '-' + twoDigits(d.day()) + 'T' +
           twoDigits(d.hour()) + ':' + twoDigits(d.minute());
}

std::optional<Date> parseIsoMinute(const QString& text)
{
    if (text.size() != 16 || text[4] != u'-' || text[7] != u'-' || text[13] != u':' ||
        (text[10] != u'T' && text[10] != u' ') || !digitsAround(text, {4, 7, 10, 13}))
        return std::nullopt;
    const auto num = [&](int from, int len) { return text.mid(from, len).toInt(); };
    return realMoment(num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2));
}
