#include "calendar/HebrewRecurrence.h"
#include "calendar/HebrewRuleChecks.h"
#include "tests/calendar/CalendarFixtures.h"
#include "tests/support/ReminderRows.h"

#include <QTest>

using M = HebrewMonth;

namespace {

// A Hebrew date at a time of day (conversion is tested on its own).
Date hd(int year, M month, int day, int hour = 9, int minute = 0)
{
    return Date::fromParts(*gregorianDateOf({year, month, day}), QTime(hour, minute));
}

// Where each step from the previous occurrence lands, now being that occurrence.
QList<Date> chain(Date (*next)(const Date&, const HebrewAnchor&, short, const Date&),
                  const Date& start, short n, int steps)
{
    const HebrewAnchor anchor = hebrewAnchorOf(start.date());
    QList<Date> dates;
    Date d = start;
    for (int i = 0; i < steps; ++i)
        dates << (d = next(d, anchor, n, d));
    return dates;
}

} // namespace

class CalendarRecurrenceTest : public QObject
{
    Q_OBJECT

private slots:
    // Each missing-day case, and the series back on its own day once the year
    // has it again: the moved occurrence does not move the series.
    void yearlyStepsFollowTheMissingDayRules()
    {
        const struct
        {
            Date start;
            QList<Date> next;
        } cases[] = {
            // 30 Heshvan: 5786 has 29 days.
            {hd(5785, M::Heshvan, 30), {hd(5786, M::Kislev, 1), hd(5787, M::Heshvan, 30)}},
            // 30 Kislev: 5781 has 29 days.
            {hd(5780, M::Kislev, 30), {hd(5781, M::Tevet, 1), hd(5782, M::Kislev, 30)}},
            // Adar of a common year: Adar II in a leap year.
            {hd(5785, M::Adar, 14), {hd(5786, M::Adar, 14), hd(5787, M::Adar, 14)}},
            // Adar I: Adar in common years, Adar I again in a leap year.
            {hd(5784, M::AdarI, 10),
             {hd(5785, M::Adar, 10), hd(5786, M::Adar, 10), hd(5787, M::AdarI, 10)}},
            // Adar II: Adar in a common year.
            {hd(5784, M::Adar, 10), {hd(5785, M::Adar, 10)}},
            // 30 Adar I: 1 Nisan in common years, 30 Adar I again in a leap year.
            {hd(5784, M::AdarI, 30),
             {hd(5785, M::Nisan, 1), hd(5786, M::Nisan, 1), hd(5787, M::AdarI, 30)}},
        };
        for (const auto& c : cases)
            QCOMPARE(chain(nextHebrewYearly, c.start, 1, int(c.next.size())), c.next);
    }

    // Day 30 in months of 29 days goes on to the 1st and the 30th comes back; a leap year has
    // 13 months, Adar I among them, a common year 12.
    void monthlyStepsFollowTheMonthsOfTheYear()
    {
        // clang-format off
        const struct { Date start; short n; QList<Date> next; } cases[] = {
            {hd(5785, M::Tishri, 30), 1,
             {hd(5785, M::Heshvan, 30), hd(5785, M::Kislev, 30), hd(5785, M::Shevat, 1),
              hd(5785, M::Shevat, 30), hd(5785, M::Nisan, 1), hd(5785, M::Nisan, 30),
              hd(5785, M::Sivan, 1), hd(5785, M::Sivan, 30)}},
            {hd(5785, M::Heshvan, 30), 2,
             {hd(5785, M::Shevat, 1), hd(5785, M::Nisan, 1), hd(5785, M::Sivan, 1)}},
            {hd(5784, M::Shevat, 15), 1,
             {hd(5784, M::AdarI, 15), hd(5784, M::Adar, 15), hd(5784, M::Nisan, 15)}},
            {hd(5784, M::Tishri, 1), 13, {hd(5785, M::Tishri, 1)}},
            {hd(5784, M::Tishri, 1), 12, {hd(5784, M::Elul, 1)}},
            {hd(5785, M::Tishri, 1), 12, {hd(5786, M::Tishri, 1)}}};
        // clang-format on
        for (const auto& c : cases)
            QCOMPARE(chain(nextHebrewMonthly, c.start, c.n, int(c.next.size())), c.next);
    }

    // Strictly after now, in whole steps from the current occurrence; a
    // current occurrence in the future comes back unchanged.
    void stepsLandStrictlyAfterNow()
    {
        const HebrewAnchor tishri1{M::Tishri, 1};
        const HebrewAnchor day15{M::Tishri, 15};
        const Date rosh5780 = hd(5780, M::Tishri, 1);
        QCOMPARE(nextHebrewYearly(rosh5780, tishri1, 3, hd(5785, M::Tishri, 2)),
                 hd(5786, M::Tishri, 1));
        QCOMPARE(nextHebrewYearly(rosh5780, tishri1, 3, hd(5786, M::Tishri, 1)),
                 hd(5789, M::Tishri, 1));
        QCOMPARE(nextHebrewYearly(rosh5780, tishri1, 1, rosh5780.addSeconds(-1)), rosh5780);
        QCOMPARE(nextHebrewMonthly(hd(5785, M::Tishri, 15), day15, 1, hd(5785, M::Nisan, 20)),
                 hd(5785, M::Iyar, 15));
        QCOMPARE(nextHebrewMonthly(hd(5785, M::Tishri, 15), day15, 1, hd(5785, M::Nisan, 15, 8)),
                 hd(5785, M::Nisan, 15));
        QCOMPARE(nextHebrewMonthly(hd(5785, M::Tishri, 15), day15, 1, hd(5785, M::Tishri, 14)),
                 hd(5785, M::Tishri, 15));
    }

    // 17 Adar II 5787 is Friday 26 March 2027, the night the clocks skip
    // 02:00-03:00: the occurrence stays 02:30 by the wall clock.
    void wallClockTimeIsKeptOnASpringForwardNight()
    {
        const Date night = at(2027, 3, 26, 2, 30);
        QCOMPARE(night.toQDateTime().time(), QTime(3, 30)); // the gap is there
        const HebrewAnchor purimKatan{M::Adar, 17};
        QCOMPARE(nextHebrewYearly(hd(5786, M::Adar, 17, 2, 30), purimKatan, 1, at(2026, 3, 6, 3)),
                 night);
        QCOMPARE(nextHebrewMonthly(hd(5787, M::AdarI, 17, 2, 30), purimKatan, 1, at(2027, 3, 1)),
                 night);
        QCOMPARE(nextHebrewYearly(night, purimKatan, 1, night), hd(5788, M::Adar, 17, 2, 30));
    }

    void badRulesAreRefusedInHebrew()
    {
        const Date future = hd(5790, M::Tishri, 1);
        const HebrewAnchor anchor{M::Tishri, 1};
        const QString stepCount = QStringLiteral("מספר המרווחים חייב להיות 1 לפחות");
        QCOMPARE(refusalOf([&] { nextHebrewYearly(future, anchor, 0, future.addDays(-1)); }),
                 stepCount);
        QCOMPARE(refusalOf([&] { nextHebrewMonthly(future, anchor, -1, future); }), stepCount);
        QCOMPARE(refusalOf([] { requireHebrewStepCount(1); }), QString());
        const std::pair<HebrewDate, const char*> starts[] = {
            {{5786, M::Heshvan, 30}, "בשנת תשפ\"ו אין ל' בחשוון"},
            {{5785, M::AdarI, 1}, "בשנת תשפ\"ה אין א' באדר א'"},
            {{5785, M::Tishri, 31}, "התאריך העברי אינו קיים"},
            {{5785, M::Heshvan, 30}, ""},
            {{5962, M::Tishri, 1}, "התאריך מחוץ לטווח הלוח העברי (השנים 1900–2200)"}};
        for (const auto& [start, refusal] : starts)
            QCOMPARE(refusalOf([&] { requireHebrewStart(start); }), QString::fromUtf8(refusal));
    }

    // The last years of the range step to their end and no further.
    void stepsPastTheRangeAreRefused()
    {
        const Date last = hd(5961, M::Tishri, 1);
        QVERIFY_THROWS_EXCEPTION(CalendarRefused, nextHebrewYearly(last, {M::Tishri, 1}, 1, last));
        QVERIFY_THROWS_EXCEPTION(CalendarRefused,
                                 nextHebrewMonthly(last, {M::Tishri, 1}, 32767, last));
        QCOMPARE(
            nextHebrewYearly(hd(5960, M::Tishri, 1), {M::Tishri, 1}, 1, hd(5960, M::Tishri, 1)),
            last);
    }
};

QTEST_GUILESS_MAIN(CalendarRecurrenceTest)
#include "tst_calendar_recurrence.moc"
