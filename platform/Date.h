#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <compare>
#include <optional>

// The system's date-time value: days counted from 30 December 1899 with the
// time of day as the fraction, always local wall-clock time, always whole
// seconds. It carries no time zone, so adding a day to 09:00 gives 09:00 the
// next day whatever the daylight-saving rules do in between.
//
// Internally it is a count of seconds from the zero date, which keeps
// comparisons and additions exact; serial() gives the double used in the
// database.
class Date
{
public:
    // Interval units of the recurrence rules and the postponement choices.
    enum Unit { Minute = 0, Hour = 1, Day = 2, Week = 3, Month = 4, Year = 5 };

    constexpr Date() = default; // the zero date, 30/12/1899 00:00:00

    // The days the type holds: 1 January 100 to 31 December 9999.
    static QDate firstDay();
    static QDate lastDay();

    static Date fromSerial(double serial);
    static Date fromQDateTime(const QDateTime& local);
    static Date fromParts(const QDate& date, const QTime& time = QTime(0, 0));
    static Date fromParts(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0);

    double serial() const;
    qint64 totalSeconds() const { return m_seconds; }
    bool isZero() const { return m_seconds == 0; }

    QDate date() const;
    QTime time() const;
    // Local time. A wall-clock time that the spring daylight-saving change
    // skips comes out as the moment just after the gap (02:30 gives 03:30).
    QDateTime toQDateTime() const;
    int year() const { return date().year(); }
    int month() const { return date().month(); }
    int day() const { return date().day(); }
    int hour() const { return time().hour(); }
    int minute() const { return time().minute(); }
    int second() const { return time().second(); }
    // 1 = Sunday ... 7 = Saturday.
    int weekday() const;

    Date datePart() const;
    Date withoutSeconds() const;

    // Calendar arithmetic. Minutes to weeks add exact amounts; months and
    // years keep the time of day and clamp the day to the end of a shorter
    // month. Leaving years 100-9999 throws Failure ("Overflow").
    Date addSeconds(qint64 seconds) const;
    Date addMinutes(qint64 minutes) const;
    Date addHours(qint64 hours) const;
    Date addDays(qint64 days) const;
    Date addMonths(int months) const;
    Date addYears(int years) const;
    // Adds count units; an unknown unit throws Failure ("Invalid procedure call").
    Date add(int unit, int count) const;

    auto operator<=>(const Date&) const = default;

private:
    explicit constexpr Date(qint64 seconds) : m_seconds(seconds) {}
    static Date checked(qint64 seconds);

    qint64 m_seconds = 0;
};

// The fixed text formats of the system.
QString formatDateTime(const Date& d);  // "dd/mm/yyyy HH:nn", screen and paper
QString formatDateOnly(const Date& d);  // "dd/mm/yyyy"
QString formatNextDate(const Date& d);  // "ddmmyyyyhhnn", settings file and LAN
QString formatLogStamp(const Date& d);  // "dd/mm/yy HH:nn:ss "
QString formatIsoMinute(const Date& d); // "yyyy-MM-ddTHH:mm", scripts and the command line

// Reads "ddmmyyyyhhnn": exactly 12 digits that make a real date and time.
std::optional<Date> parseNextDate(const QString& text);
// Reads "yyyy-MM-ddTHH:mm" (a blank in place of the T too): a real date and time.
std::optional<Date> parseIsoMinute(const QString& text);
