#include "Date.h"
#include "Failure.h"

#include <QTest>

#include <climits>
#include <cmath>
#include <functional>

Q_DECLARE_METATYPE(Date)

namespace {

Date D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date::fromParts(y, mo, d, h, mi, s);
}

// The days on which Asia/Jerusalem changes to and from summer time in 2026:
// 27 March 02:00 jumps to 03:00, 25 October 02:00 falls back to 01:00.
const QDate kSpringChange(2026, 3, 27);
const QDate kAutumnChange(2026, 10, 25);

} // namespace

namespace QTest {
template <> char* toString(const Date& d)
{
    return qstrdup(d.date().toString(Qt::ISODate).toLatin1() + ' ' +
                   d.time().toString().toLatin1());
}
} // namespace QTest

class DateTest : public QObject
{
    Q_OBJECT

private slots:
    void calendarArithmetic_data();
    void calendarArithmetic();
    void repeatedStepsStayClamped_data();
    void repeatedStepsStayClamped();
    void weekdayRunsSundayToSaturday();
    void wallClockAcrossDaylightSaving_data();
    void wallClockAcrossDaylightSaving();
    void serialNumbers_data();
    void serialNumbers();
    void fixedFormats_data();
    void fixedFormats();
    void parseNextDateRefuses_data();
    void parseNextDateRefuses();
    void leavingTheRangeThrows();
};

void DateTest::calendarArithmetic_data()
{
    QTest::addColumn<Date>("start");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("count");
    QTest::addColumn<Date>("expected");

    // clang-format off
    QTest::newRow("31 Jan + 1 month, common year") << D(2026, 1, 31, 10, 15) << int(Date::Month) << 1 << D(2026, 2, 28, 10, 15);
    QTest::newRow("31 Jan + 1 month, leap year") << D(2028, 1, 31, 10, 15) << int(Date::Month) << 1 << D(2028, 2, 29, 10, 15);
    QTest::newRow("31 Dec + 2 months") << D(2026, 12, 31, 8) << int(Date::Month) << 2 << D(2027, 2, 28, 8);
    QTest::newRow("29 Feb + 1 year") << D(2028, 2, 29, 9) << int(Date::Year) << 1 << D(2029, 2, 28, 9);
    QTest::newRow("minute over new year") << D(2026, 12, 31, 23, 59) << int(Date::Minute) << 1 << D(2027, 1, 1);
    QTest::newRow("hour back over midnight") << D(2027, 1, 1, 0, 30) << int(Date::Hour) << -1 << D(2026, 12, 31, 23, 30);
    // Wall-clock arithmetic: daylight-saving changes move nothing.
    QTest::newRow("day over spring change") << D(2026, 3, 26, 9) << int(Date::Day) << 1 << D(2026, 3, 27, 9);
    QTest::newRow("days over autumn change") << D(2026, 10, 24, 9) << int(Date::Day) << 2 << D(2026, 10, 26, 9);
    QTest::newRow("hours over spring gap") << D(2026, 3, 27, 1) << int(Date::Hour) << 2 << D(2026, 3, 27, 3);
    QTest::newRow("hours over autumn fold") << D(2026, 10, 25, 0, 30) << int(Date::Hour) << 2 << D(2026, 10, 25, 2, 30);
    // clang-format on
}

void DateTest::calendarArithmetic()
{
    QFETCH(Date, start);
    QFETCH(int, unit);
    QFETCH(int, count);
    QFETCH(Date, expected);
    QCOMPARE(start.add(unit, count), expected);
}

void DateTest::repeatedStepsStayClamped_data()
{
    QTest::addColumn<Date>("start");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QList<Date>>("steps");

    // clang-format off
    QTest::newRow("monthly from 31 Jan 2026") << D(2026, 1, 31, 9) << int(Date::Month) << QList<Date>{D(2026, 2, 28, 9), D(2026, 3, 28, 9), D(2026, 4, 28, 9)};
    QTest::newRow("monthly from 31 Jan 2028") << D(2028, 1, 31, 9) << int(Date::Month) << QList<Date>{D(2028, 2, 29, 9), D(2028, 3, 29, 9)};
    QTest::newRow("yearly from 29 Feb 2028") << D(2028, 2, 29) << int(Date::Year) << QList<Date>{D(2029, 2, 28), D(2030, 2, 28), D(2031, 2, 28), D(2032, 2, 28)};
    // clang-format on
}

void DateTest::repeatedStepsStayClamped()
{
    QFETCH(Date, start);
    QFETCH(int, unit);
    QFETCH(QList<Date>, steps);
    Date d = start;
    for (const Date& expected : steps) {
        d = d.add(unit, 1); // each step from the previous result
        QCOMPARE(d, expected);
    }
}

void DateTest::weekdayRunsSundayToSaturday()
{
    for (int i = 0; i < 7; ++i) // 4 January 2026 is a Sunday
        QCOMPARE(D(2026, 1, 4 + i, 23, 59).weekday(), i + 1);
    QCOMPARE(Date().weekday(), 7); // 30/12/1899 was a Saturday
    QCOMPARE(D(100, 1, 1).weekday(), 6);
}

void DateTest::wallClockAcrossDaylightSaving_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QTime>("gapStart"); // null: no gap on that day
    QTest::newRow("spring change") << kSpringChange << QTime(2, 0);
    QTest::newRow("autumn change") << kAutumnChange << QTime();
}

void DateTest::wallClockAcrossDaylightSaving()
{
    QFETCH(QDate, day);
    QFETCH(QTime, gapStart);

    // Every wall-clock time of the day survives a trip through QDateTime;
    // only the skipped hour cannot exist and comes back one hour later.
    for (int minute = 0; minute < 24 * 60; minute += 5) {
        const Date d = Date::fromParts(day, QTime(0, 0).addSecs(minute * 60));
        const QDateTime q = d.toQDateTime();
        QVERIFY2(q.isValid(), QTest::toString(d));
        const bool inGap =
            gapStart.isValid() && d.time() >= gapStart && d.time() < gapStart.addSecs(3600);
        QCOMPARE(Date::fromQDateTime(q), inGap ? d.addHours(1) : d);
    }

    // Every instant of the day reads as its local wall-clock time, and that
    // time converts back to the same wall-clock time.
    const QDateTime from(day.addDays(-1), QTime(20, 0), Qt::UTC);
    for (QDateTime u = from; u < from.addDays(1); u = u.addSecs(600)) {
        const QDateTime local = u.toLocalTime();
        const Date d = Date::fromQDateTime(u);
        QCOMPARE(d, Date::fromParts(local.date(), local.time()));
        const QDateTime back = d.toQDateTime();
        QCOMPARE(back.date(), local.date());
        QCOMPARE(back.time(), local.time());
    }

    // Known readings of the zone, so the loops above are not vacuous.
    QCOMPARE(Date::fromQDateTime(QDateTime(kSpringChange.addDays(-1), QTime(23, 59), Qt::UTC)),
             D(2026, 3, 27, 1, 59));
    QCOMPARE(Date::fromQDateTime(QDateTime(kSpringChange, QTime(0, 0), Qt::UTC)),
             D(2026, 3, 27, 3, 0));
    QCOMPARE(Date::fromQDateTime(QDateTime(kAutumnChange.addDays(-1), QTime(22, 30), Qt::UTC)),
             D(2026, 10, 25, 1, 30));
    QCOMPARE(Date::fromQDateTime(QDateTime(kAutumnChange.addDays(-1), QTime(23, 30), Qt::UTC)),
             D(2026, 10, 25, 1, 30));
}

void DateTest::serialNumbers_data()
{
    QTest::addColumn<Date>("date");
    QTest::addColumn<double>("serial");
    QTest::newRow("zero date") << D(1899, 12, 30) << 0.0;
    QTest::newRow("before the zero date") << D(1899, 12, 29, 6) << -1.25;
    QTest::newRow("1 Jan 2026") << D(2026, 1, 1) << 46023.0;
    QTest::newRow("5 Dec 2026 21:59:07") << D(2026, 12, 5, 21, 59, 7) << 46361.0 + 79147.0 / 86400;
    QTest::newRow("first day") << D(100, 1, 1) << -657434.0;
    QTest::newRow("last second") << D(9999, 12, 31, 23, 59, 59) << 2958465.0 + 86399.0 / 86400;
}

void DateTest::serialNumbers()
{
    QFETCH(Date, date);
    QFETCH(double, serial);
    QCOMPARE(date.serial(), serial);
    QCOMPARE(Date::fromSerial(serial), date);
    QCOMPARE(Date().serial(), 0.0);
}

void DateTest::fixedFormats_data()
{
    QTest::addColumn<Date>("date");
    QTest::addColumn<QString>("dateTime");
    QTest::addColumn<QString>("nextDate");
    QTest::addColumn<QString>("logStamp");
    // clang-format off
    QTest::newRow("evening") << D(2026, 12, 5, 21, 59, 7) << "05/12/2026 21:59" << "051220262159" << "05/12/26 21:59:07 ";
    QTest::newRow("midnight") << D(2027, 1, 1) << "01/01/2027 00:00" << "010120270000" << "01/01/27 00:00:00 ";
    QTest::newRow("year 100") << D(100, 3, 9, 7, 5, 3) << "09/03/0100 07:05" << "090301000705" << "09/03/00 07:05:03 ";
    // clang-format on
}

void DateTest::fixedFormats()
{
    QFETCH(Date, date);
    QFETCH(QString, dateTime);
    QFETCH(QString, nextDate);
    QFETCH(QString, logStamp);
    QCOMPARE(formatDateTime(date), dateTime);
    QCOMPARE(formatDateOnly(date), dateTime.left(10));
    QCOMPARE(formatNextDate(date), nextDate);
    QCOMPARE(formatLogStamp(date), logStamp);
    const std::optional<Date> parsed = parseNextDate(nextDate);
    QVERIFY(parsed);
    QCOMPARE(*parsed, date.withoutSeconds());
}

void DateTest::parseNextDateRefuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("NULL") << "NULL";
    QTest::newRow("11 digits") << "05122026215";
    QTest::newRow("leading blank") << " 51220262159";
    QTest::newRow("separators") << "05/12/2026 2";
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("٠٥١٢٢٠٢٦٢١٥٩");
    QTest::newRow("31 February") << "310220261200";
    QTest::newRow("day 0") << "001220261200";
    QTest::newRow("hour 24") << "051220262400";
    QTest::newRow("year 99") << "010100991200";
}

void DateTest::parseNextDateRefuses()
{
    QFETCH(QString, text);
    QVERIFY(!parseNextDate(text).has_value());
}

void DateTest::leavingTheRangeThrows()
{
    const Date last = D(9999, 12, 31, 23, 59);
    const Date first = D(100, 1, 1);
    QCOMPARE(last.addSeconds(59), D(9999, 12, 31, 23, 59, 59));
    QCOMPARE(last.addYears(-9899), D(100, 12, 31, 23, 59));

    const struct
    {
        const char* name;
        std::function<Date()> call;
        QString description;
    } cases[] = {
        {"minute past 9999", [&] { return last.add(Date::Minute, 1); }, "Overflow"},
        {"month past 9999", [&] { return last.add(Date::Month, 1); }, "Overflow"},
        {"hour before year 100", [&] { return first.add(Date::Hour, -1); }, "Overflow"},
        {"INT_MAX years", [&] { return first.add(Date::Year, INT_MAX); }, "Overflow"},
        {"huge second count", [&] { return last.addSeconds(LLONG_MAX); }, "Overflow"},
        {"serial past 9999", [] { return Date::fromSerial(2958466.0); }, "Overflow"},
        {"NaN serial", [] { return Date::fromSerial(std::nan("")); }, "Overflow"},
        {"year 10000", [] { return D(10000, 1, 1); }, "Overflow"},
        {"invalid date", [] { return D(2026, 2, 30); }, "Type mismatch"},
        {"invalid QDateTime", [] { return Date::fromQDateTime(QDateTime()); }, "Type mismatch"},
        {"unknown unit", [&] { return first.add(6, 1); }, "Invalid procedure call or argument"},
    };
    for (const auto& c : cases) {
        try {
            const Date d = c.call();
            QFAIL(qPrintable(
                QStringLiteral("%1: no failure, got %2").arg(c.name, QTest::toString(d))));
        } catch (const Failure& f) {
            QVERIFY2(f.description() == c.description, c.name);
        }
    }
}

QTEST_GUILESS_MAIN(DateTest)
#include "tst_date.moc"
