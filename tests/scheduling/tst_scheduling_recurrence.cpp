#include "Clock.h"
#include "Failure.h"
#include "Recurrence.h"
#include "ReminderRows.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The nth (0-3) or last (4) day of a kind (0 any, 1-7 that weekday, 8 working,
// 9 weekend) in the month of inMonth, found by listing the month's days.
QDate ruleDayOfMonth(const QDate& inMonth, short kind, short count)
{
    QList<QDate> days;
    for (QDate d(inMonth.year(), inMonth.month(), 1); d.month() == inMonth.month();
         d = d.addDays(1)) {
        const int w = d.dayOfWeek() % 7 + 1;
        if (kind == 0 || w == kind || (kind == 8 && w <= 5) || (kind == 9 && w >= 6))
            days << d;
    }
    return count == 4 ? days.last() : days.at(count);
}

} // namespace

class RecurrenceTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::useSystemClock(); }

    void simpleTypesSkipMissedOccurrencesAndKeepWallClock()
    {
        // Daily 09:00 from before the spring change to after the autumn one.
        Clock::setNow(at(2026, 11, 1, 8, 0));
        QCOMPARE(NextByType(at(2026, 3, 26, 9, 0), 5), at(2026, 11, 1, 9, 0));
        // Due Monday 09:00, dismissed Thursday 09:05: Friday, nothing in between.
        Clock::setNow(at(2026, 11, 5, 9, 5));
        QCOMPARE(NextByType(at(2026, 11, 2, 9, 0), 5), at(2026, 11, 6, 9, 0));
        // An occurrence equal to now is not accepted; a future one comes back as it is.
        Clock::setNow(at(2026, 11, 5, 10, 0));
        QCOMPARE(NextByType(at(2026, 11, 5, 10, 0), 1), at(2026, 11, 5, 11, 0));
        QCOMPARE(NextByType(at(2026, 11, 5, 10, 0, 1), 1), at(2026, 11, 5, 10, 0, 1));
    }

    void monthAndYearChainsStayClamped()
    {
        // 31 January monthly: 28 February, then 28 March, and years later still the 28th.
        Clock::setNow(at(2027, 2, 28, 9, 0));
        QCOMPARE(NextByType(at(2027, 1, 31, 9, 0), 20), at(2027, 3, 28, 9, 0));
        Clock::setNow(at(2031, 3, 30));
        QCOMPARE(NextByType(at(2027, 1, 31, 9, 0), 20), at(2031, 4, 28, 9, 0));
        // 29 February yearly: 28 February ever after, leap years included.
        QCOMPARE(NextByType(at(2024, 2, 29, 9, 0), 60), at(2032, 2, 28, 9, 0));
    }

    void nextByPeriodEqualsTheStepByStepWalk()
    {
        QRandomGenerator random(20260705); // the same cases on every run
        const short counts[] = {1, 2, 3, 4, 5, 6, 7, 11, 12, 13, 24, 48, 400};
        const qint64 reachDays[] = {3, 90, 4000, 4000, 150 * 365, 400 * 365};
        for (int i = 0; i < 6000; ++i) {
            const short unit = short(i % 6);
            const short n = counts[random.bounded(int(std::size(counts)))];
            // Month ends over-represented: that is where clamping happens.
            const int day = random.bounded(2) ? 28 + random.bounded(4) : 1 + random.bounded(31);
            const QDate month(1890 + random.bounded(200), 1 + random.bounded(12), 1);
            const Date start =
                Date::fromParts(QDate(month.year(), month.month(), qMin(day, month.daysInMonth())),
                                QTime(random.bounded(24), random.bounded(60)));
            Clock::setNow(start.addSeconds(random.bounded(reachDays[unit] * 86400) - 86400));
            Date walked = start;
            while (walked <= Clock::now())
                walked = walked.add(unit, n);
            QVERIFY2(NextByPeriod(start, unit, n) == walked,
                     qPrintable(QStringLiteral("unit %1, N %2, from %3, now %4")
                                    .arg(unit)
                                    .arg(n)
                                    .arg(formatDateTime(start), formatDateTime(Clock::now()))));
        }
    }

    void weekDayRuleJumpsOnEnteringAWeek()
    {
        // Every 2 weeks on Monday and Wednesday (mask 2 + 8), from Monday 2 November.
        Clock::setNow(at(2026, 11, 2, 8, 30));
        QCOMPARE(NextAdvanced(at(2026, 11, 2, 8, 0), 3, 2, true, 10, 0, 0), at(2026, 11, 4, 8, 0));
        Clock::setNow(at(2026, 11, 4, 8, 30));
        QCOMPARE(NextAdvanced(at(2026, 11, 4, 8, 0), 3, 2, true, 10, 0, 0), at(2026, 11, 16, 8, 0));
        // Every 3 weeks on Sunday: the Sunday the jump lands on is the occurrence.
        QCOMPARE(NextWeekDay(at(2026, 11, 1, 8, 0), 1, 3), at(2026, 11, 22, 8, 0));
        // No day chosen (a mask not above 0): plain steps of N weeks.
        QCOMPARE(NextAdvanced(at(2026, 11, 2, 8, 0), 3, 2, true, -1, 0, 0), at(2026, 11, 16, 8, 0));
    }

    void monthRulesFindTheNthDayOfTheirKind()
    {
        // Four years of days: every month start and end, year ends, a leap February.
        for (QDate day(2025, 1, 1); day.year() < 2029; day = day.addDays(1))
            for (short kind = 0; kind <= 9; ++kind)
                for (short count = 0; count <= 4; ++count)
                    if (IsMonthRuleDay(Date::fromParts(day, QTime(7, 45)), kind, count) !=
                        (ruleDayOfMonth(day, kind, count) == day))
                        QFAIL(qPrintable(QStringLiteral("%1 kind %2 occurrence %3")
                                             .arg(day.toString(Qt::ISODate))
                                             .arg(kind)
                                             .arg(count)));
        // NextMonthly ignores the clock, so a series left behind catches up one
        // rule day at a time; months outside the series are skipped.
        Clock::setNow(at(2027, 6, 1));
        QCOMPARE(NextMonthly(at(2026, 6, 28, 10, 0), 8, 0, 1), at(2026, 7, 1, 10, 0));
        for (QDate from(2026, 11, 20); from < QDate(2027, 1, 10); from = from.addDays(1))
            for (short n : {1, 2, 5})
                for (short kind = 0; kind <= 9; ++kind)
                    for (short count = 0; count <= 4; ++count) {
                        QDate expected = ruleDayOfMonth(from, kind, count);
                        for (int t = 1; expected <= from; ++t)
                            expected = ruleDayOfMonth(from.addMonths(t * n), kind, count);
                        QCOMPARE(NextMonthly(Date::fromParts(from, QTime(23, 59)), kind, count, n),
                                 Date::fromParts(expected, QTime(23, 59)));
                    }
    }

    // The plain rule checks are shown through the recurrence step's test.
    void refusesAdvancedRulesWithoutOccurrencesAndWalksPastTheRange()
    {
        const Date d = at(2026, 7, 1, 9, 0);
        QVERIFY_THROWS_EXCEPTION(Failure, NextAdvanced(d, 2, 1, true, 0, 0, 0)); // days
        QVERIFY_THROWS_EXCEPTION(Failure, NextAdvanced(d, 4, 0, true, 0, 8, 0));
        Clock::setNow(at(9999, 12, 31, 23, 30));
        QVERIFY_THROWS_EXCEPTION(Failure, NextByPeriod(at(9999, 11, 30), Date::Month, 1));
        QVERIFY_THROWS_EXCEPTION(Failure, NextByPeriod(at(2000, 1, 1), Date::Year, 9000));
        QVERIFY_THROWS_EXCEPTION(Failure, NextWeekDay(at(9999, 12, 20), 1, 2));
        QVERIFY_THROWS_EXCEPTION(Failure, NextMonthly(at(9999, 12, 15), 0, 0, 1));
    }
};

QTEST_GUILESS_MAIN(RecurrenceTest)
#include "tst_scheduling_recurrence.moc"
