#include "Date.h"

#include "Failure.h"

#include <cmath>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
const QDate kZeroDay(1899, 12, 30);
// The range of the date type: 1 January 100 to 31 December 9999.
const qint64 kMinSeconds = kZeroDay.daysTo(QDate(100, 1, 1)) * kSecondsPerDay;
const qint64 kMaxSeconds = kZeroDay.daysTo(QDate(9999, 12, 31)) * kSecondsPerDay + kSecondsPerDay - 1;

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

} // namespace

Date Date::checked(qint64 seconds)
{
    if (seconds < kMinSeconds || seconds > kMaxSeconds)
        throw Failure(QStringLiteral("Overflow"), 6);
    return Date(seconds);
}

Date Date::fromSerial(double serial)
{
    if (!std::isfinite(serial))
        throw Failure(QStringLiteral("Overflow"), 6);
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
    const QDateTime l = local.toLocalTime();
    return fromParts(l.date(), l.time());
}

Date Date::fromParts(const QDate& date, const QTime& time)
{
    if (!date.isValid() || !time.isValid())
        throw Failure(QStringLiteral("Type mismatch"), 13);
    const QTime t = time.isValid() ? time : QTime(0, 0);
    return checked(kZeroDay.daysTo(date) * kSecondsPerDay + t.msecsSinceStartOfDay() / 1000);
}

Date Date::fromParts(int year, int month, int day, int hour, int minute, int second)
{
    return fromParts(QDate(year, month, day), QTime(hour, minute, second));
}

Date Date::combine(const Date& datePart, const Date& timePart)
{
    return Date(datePart.datePart().m_seconds +
                (timePart.m_seconds - floorDiv(timePart.m_seconds, kSecondsPerDay) * kSecondsPerDay));
}

double Date::serial() const
{
    const qint64 days = floorDiv(m_seconds, kSecondsPerDay);
    const double fraction = double(m_seconds - days * kSecondsPerDay) / kSecondsPerDay;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QDate Date::date() const { return kZeroDay.addDays(floorDiv(m_seconds, kSecondsPerDay)); }

QTime Date::time() const
{
    const qint64 s = m_seconds - floorDiv(m_seconds, kSecondsPerDay) * kSecondsPerDay;
    return QTime(0, 0).addSecs(int(s));
}

QDateTime Date::toQDateTime() const { return QDateTime(date(), time()); }

int Date::weekday() const
{
    // Qt numbers Monday 1 ... Sunday 7.
    return date().dayOfWeek() % 7 + 1;
}

Date Date::datePart() const { return Date(floorDiv(m_seconds, kSecondsPerDay) * kSecondsPerDay); }

Date Date::withoutSeconds() const { return Date(floorDiv(m_seconds, 60) * 60); }

Date Date::addSeconds(qint64 seconds) const
{
    // Guard the addition itself before the range check.
    if (seconds > kMaxSeconds - kMinSeconds || seconds < kMinSeconds - kMaxSeconds)
        throw Failure(QStringLiteral("Overflow"), 6);
    return checked(m_seconds + seconds);
}

Date Date::addMonths(int months) const
{
    const QDate d = date();
    const qint64 monthIndex = qint64(d.year()) * 12 + (d.month() - 1) + months;
    const qint64 year = floorDiv(monthIndex, 12);
    if (year < 100 || year > 9999)
        throw Failure(QStringLiteral("Overflow"), 6);
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
        if (qAbs(count) > 10000)
            throw Failure(QStringLiteral("Overflow"), 6);
        return addYears(count);
    default:
        throw Failure(QStringLiteral("Invalid procedure call or argument"), 5);
    }
}

QString formatDateTime(const Date& d)
{
    return twoDigits(d.day()) + '/' + twoDigits(d.month()) + '/' +
           QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) + ' ' + twoDigits(d.hour()) +
           ':' + twoDigits(d.minute());
}

QString formatDateOnly(const Date& d) { return formatDateTime(d).left(10); }

QString formatNextDate(const Date& d)
{
    return twoDigits(d.day()) + twoDigits(d.month()) +
           QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) + twoDigits(d.hour()) +
           twoDigits(d.minute());
}

QString formatLogStamp(const Date& d)
{
    return twoDigits(d.day()) + '/' + twoDigits(d.month()) + '/' + twoDigits(d.year() % 100) + ' ' +
           twoDigits(d.hour()) + ':' + twoDigits(d.minute()) + ':' + twoDigits(d.second()) + ' ';
}

std::optional<Date> parseNextDate(const QString& text)
{
    if (text.size() != 12)
        return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const auto num = [&](int from, int len) { return text.mid(from, len).toInt(); };
    const QDate date(num(4, 4), num(2, 2), num(0, 2));
    const QTime time(num(8, 2), num(10, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    try {
        return Date::fromParts(date, time);
    } catch (const Failure&) {
        return std::nullopt;
    }
}
