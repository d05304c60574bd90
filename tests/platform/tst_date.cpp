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
    void repeatedMonthlyStepsStayClamped();
    void weekdayRunsSundayToSaturday();
    void wallClockAcrossDaylightSaving();
    void serialNumbers_data();
    void serialNumbers();
    void fixedFormats();
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
    QTest::newRow("29 Feb + 1 year") << D(2028, 2, 29, 9) << int(Date::Year) << 1 << D(2029, 2, 28, 9);
    QTest::newRow("hour back over new year") << D(2027, 1, 1, 0, 30) << int(Date::Hour) << -1 << D(2026, 12, 31, 23, 30);
    // Wall-clock arithmetic: daylight-saving changes (27 March, 25 October 2026) move nothing.
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

// Each step from the previous result: once clamped, the day stays so.
void DateTest::repeatedMonthlyStepsStayClamped()
{
    Date d = D(2026, 1, 31, 9);
    for (const Date& expected : {D(2026, 2, 28, 9), D(2026, 3, 28, 9)})
        QCOMPARE(d = d.add(Date::Month, 1), expected);
}

void DateTest::weekdayRunsSundayToSaturday()
{
    for (int i = 0; i < 7; ++i) // 4 January 2026 is a Sunday
        QCOMPARE(D(2026, 1, 4 + i, 23, 59).weekday(), i + 1);
    QCOMPARE(Date().weekday(), 7); // 30/12/1899 was a Saturday
}

// Every wall-clock time of the change days survives a trip through QDateTime
// but the skipped hour, which comes back one hour later; every instant reads
// as its local wall-clock time.
void DateTest::wallClockAcrossDaylightSaving()
{
    for (const QDate day : {QDate(2026, 3, 27), QDate(2026, 10, 25)}) {
        for (int minute = 0; minute < 24 * 60; minute += 5) {
            const Date d = Date::fromParts(day, QTime(0, 0).addSecs(minute * 60));
            const bool inGap = day.month() == 3 && d.time().hour() == 2;
            QCOMPARE(Date::fromQDateTime(d.toQDateTime()), inGap ? d.addHours(1) : d);
        }
        const QDateTime from(day.addDays(-1), QTime(20, 0), Qt::UTC);
        for (QDateTime u = from; u < from.addDays(1); u = u.addSecs(600)) {
            const QDateTime local = u.toLocalTime();
            QCOMPARE(Date::fromQDateTime(u), Date::fromParts(local.date(), local.time()));
        }
    }
    // Known readings of the zone, so the loops are not vacuous.
    QCOMPARE(Date::fromQDateTime(QDateTime(QDate(2026, 3, 27), QTime(0, 0), Qt::UTC)),
             D(2026, 3, 27, 3, 0));
    QCOMPARE(Date::fromQDateTime(QDateTime(QDate(2026, 10, 24), QTime(23, 30), Qt::UTC)),
             D(2026, 10, 25, 1, 30));
}

void DateTest::serialNumbers_data()
{
    QTest::addColumn<Date>("date");
    QTest::addColumn<double>("serial");
    QTest::newRow("before the zero date") << D(1899, 12, 29, 6) << -1.25;
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
}

void DateTest::fixedFormats()
{
    const Date d = D(100, 3, 9, 7, 5, 3);
    QCOMPARE(formatDateTime(d), QString("09/03/0100 07:05"));
    QCOMPARE(formatDateOnly(d), QString("09/03/0100"));
    QCOMPARE(formatNextDate(d), QString("090301000705"));
    QCOMPARE(formatLogStamp(d), QString("09/03/00 07:05:03 "));
    QCOMPARE(parseNextDate("090301000705").value(), d.withoutSeconds());
}

void DateTest::parseNextDateRefuses()
{
    for (const QString& text : {QString("NULL"), QString("05122026215"), QString(" 51220262159"),
                                QString::fromUtf8("٠٥١٢٢٠٢٦٢١٥٩"), QString("310220261200"),
                                QString("051220262400"), QString("010100991200")})
        QVERIFY2(!parseNextDate(text).has_value(), qPrintable(text));
}

void DateTest::leavingTheRangeThrows()
{
    const Date last = D(9999, 12, 31, 23, 59);
    const Date first = D(100, 1, 1);
    QCOMPARE(last.addSeconds(59), D(9999, 12, 31, 23, 59, 59));
    const struct
    {
        const char* name;
        std::function<Date()> call;
        QString description;
    } cases[] = {
        {"month past 9999", [&] { return last.add(Date::Month, 1); }, "Overflow"},
        {"hour before year 100", [&] { return first.add(Date::Hour, -1); }, "Overflow"},
        {"INT_MAX years", [&] { return first.add(Date::Year, INT_MAX); }, "Overflow"},
        {"huge second count", [&] { return last.addSeconds(LLONG_MAX); }, "Overflow"},
        {"NaN serial", [] { return Date::fromSerial(std::nan("")); }, "Overflow"},
        {"invalid date", [] { return D(2026, 2, 30); }, "Type mismatch"},
        {"unknown unit", [&] { return first.add(6, 1); }, "Invalid procedure call or argument"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            QFAIL(c.name);
        } catch (const Failure& f) {
            QVERIFY2(f.description() == c.description, c.name);
        }
    }
}

QTEST_GUILESS_MAIN(DateTest)
#include "tst_date.moc"
