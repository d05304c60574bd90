#include "tests/calendar/CalendarFixtures.h"

#include <QTest>

#include <algorithm>

namespace {

// A year's days off from its published dates and the holidays' fixed
// distances: Yom Kippur 10 Tishri, Sukkot 15, Shemini Atzeret 22; the seventh
// day of Pesach 21 Nisan; Shavuot 6 Sivan, 50 days after 15 Nisan.
QList<DayOff> publishedDaysOff(const PublishedYear& p)
{
    QList<DayOff> days{{p.pesach, "פסח"},
                       {p.pesach.addDays(6), "שביעי של פסח"},
                       {p.yomHaAtzmaut, "יום העצמאות"},
                       {p.pesach.addDays(50), "שבועות"},
                       {p.roshHashana, "ראש השנה א'"},
                       {p.roshHashana.addDays(1), "ראש השנה ב'"},
                       {p.roshHashana.addDays(9), "יום כיפור"},
                       {p.roshHashana.addDays(14), "סוכות"},
                       {p.roshHashana.addDays(21), "שמיני עצרת"}};
    std::sort(days.begin(), days.end(),
              [](const DayOff& a, const DayOff& b) { return a.date < b.date; });
    return days;
}

QDate yomHaAtzmautOf(int year)
{
    for (const DayOff& d : israeliDaysOff(year))
        if (d.name == QStringLiteral("יום העצמאות"))
            return d.date;
    return {};
}

} // namespace

class CalendarDaysOffTest : public QObject
{
    Q_OBJECT

private slots:
    void publishedYearsHaveTheirDaysOff()
    {
        for (const auto& p : kPublishedYears)
            QCOMPARE(israeliDaysOff(p.year), publishedDaysOff(p));
    }

    // 5 Iyar on Friday or Saturday moves back to Thursday, on Monday to
    // Tuesday since 2004 only; before 1949 there is none.
    void yomHaAtzmautMovesAsTheLawSays()
    {
        const std::pair<int, QDate> moved[] = {
            {2025, {2025, 5, 1}},  // 5 Iyar Saturday 3 May
            {2012, {2012, 4, 26}}, // Friday 27 April
            {2024, {2024, 5, 14}}, // Monday 13 May
            {2026, {2026, 4, 22}}, // Wednesday, kept
            {1997, {1997, 5, 12}}, // Monday, before the rule
            {1998, {1998, 4, 30}}, // Friday 1 May
            {1949, {1949, 5, 4}},  // the first
        };
        for (const auto& [year, date] : moved)
            QCOMPARE(yomHaAtzmautOf(year), date);
        QCOMPARE(yomHaAtzmautOf(1948), QDate());
        QCOMPARE(israeliDaysOff(1948).size(), 8);
    }

    // Among them the days that move the first and last working days of a
    // month: Sunday 3 October 2027, Monday 1 October 2029, Wednesday 31 May 2028.
    void daysOffAreKnownByDate()
    {
        const QDate off[] = {{2027, 10, 3}, {2029, 10, 1}, {2028, 5, 31}, {2026, 9, 21}};
        const QDate working[] = {{2026, 4, 3},   // Chol HaMoed Pesach
                                 {2026, 4, 21},  // Memorial Day
                                 {2025, 5, 3},   // 5 Iyar, its day moved
                                 {2024, 5, 13},  // 5 Iyar, its day moved
                                 {2026, 9, 27},  // Chol HaMoed Sukkot
                                 {1899, 9, 5},   // outside the range
                                 {2201, 9, 24}}; // outside the range
        for (const QDate& d : off)
            QVERIFY2(isIsraeliDayOff(d), qPrintable(d.toString(Qt::ISODate)));
        for (const QDate& d : working)
            QVERIFY2(!isIsraeliDayOff(d), qPrintable(d.toString(Qt::ISODate)));
    }

    void yearsOutsideTheRangeAreRefused()
    {
        QVERIFY(!israeliDaysOff(1900).isEmpty());
        QVERIFY(!israeliDaysOff(2200).isEmpty());
        QVERIFY_THROWS_EXCEPTION(CalendarRefused, israeliDaysOff(1899));
        QVERIFY_THROWS_EXCEPTION(CalendarRefused, israeliDaysOff(2201));
    }
};

QTEST_GUILESS_MAIN(CalendarDaysOffTest)
#include "tst_calendar_daysoff.moc"
