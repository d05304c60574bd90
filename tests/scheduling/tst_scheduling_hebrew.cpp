// The Hebrew-calendar series and the days off in the recurrence step, by
// dates read off a printed luach (Israel), not computed from the code.
#include "scheduling/DaysOffSetting.h"
#include "scheduling/MonthRule.h"
#include "scheduling/Occurrences.h"
#include "scheduling/ReminderWrites.h"
#include "store/LanSettings.h"
#include "store/Reminder.h"
#include "tests/support/ReminderRows.h"

#include <QTest>

namespace {

// Each step from the previous date, dismissed at that date, for count steps.
QList<Date> walk(const RecurrenceRule& rule, Date from, int count)
{
    QList<Date> dates;
    for (int i = 0; i < count; ++i)
        dates << (from = StepRecurrence(rule, from, from).next);
    return dates;
}

RecurrenceRule rule(short eventType, const AdvancedRule& adv = {})
{
    return recurrenceRule(eventType, adv);
}

AdvancedRule sundayToThursday(bool skip)
{
    AdvancedRule adv;
    std::tie(adv.Adv_Period, adv.Adv_AdvOpt, adv.Adv_WeekDay) = std::tuple(Date::Week, true, 31);
    adv.Adv_SkipDaysOff = skip;
    return adv;
}

AdvancedRule monthRule(short kind, short count)
{
    AdvancedRule adv;
    std::tie(adv.Adv_Period, adv.Adv_AdvOpt, adv.Adv_MonthDay, adv.Adv_MonthCount) =
        std::tuple(Date::Month, true, kind, count);
    return adv;
}

} // namespace

class HebrewRecurrenceTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempProgramDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<TempProgramDir>(); }
    void cleanup() { m_dir.reset(); }

    // 27 Kislev 5787 is 7 December 2026; 5788's 27 December 2027, 5789's 15 December 2028.
    // Monthly from 1 Adar I 5787 (8 February 2027): 1 Adar II, 1 Nisan, 1 Iyar.
    void hebrewSeriesStepOnTheirDay()
    {
        const Date kislev27 = at(2026, 12, 7, 9, 0);
        QCOMPARE(walk(rule(EventHebrewYearly), kislev27, 2),
                 (QList<Date>{at(2027, 12, 27, 9, 0), at(2028, 12, 15, 9, 0)}));
        AdvancedRule every2;
        every2.Adv_PeriodN = 2;
        QCOMPARE(walk(rule(EventHebrewYearly, every2), kislev27, 1),
                 QList<Date>{at(2028, 12, 15, 9, 0)});
        QCOMPARE(walk(rule(EventHebrewMonthly), at(2027, 2, 8, 8, 0), 3),
                 (QList<Date>{at(2027, 3, 10, 8, 0), at(2027, 4, 8, 8, 0), at(2027, 5, 8, 8, 0)}));
    }

    // Israel moves to summer time at 02:00 on Friday 26 March 2027 (17 Adar II 5787): the
    // series keeps the wall clock's 02:30, before and after that night.
    void theWallClockTimeCrossesTheDstNight()
    {
        QCOMPARE(walk(rule(EventHebrewMonthly), at(2027, 2, 24, 2, 30), 2),
                 (QList<Date>{at(2027, 3, 26, 2, 30), at(2027, 4, 24, 2, 30)}));
    }

    // A stored series keeps its anchor: 30 Heshvan 5785 (1 December 2024) falls on 1 Kislev
    // 5786 (21 November 2025) and is back on 30 Heshvan 5787 (10 November 2026).
    void aStoredAnchorOutlivesTheMovedOccurrence()
    {
        SchedulingDir dir(at(2024, 12, 1, 10, 0));
        LANNick = QStringLiteral("me");
        ReminderRecord entered;
        entered.RCaption = QStringLiteral("אזכרה");
        entered.RDate = at(2024, 12, 1, 9, 0);
        entered.REventType = EventHebrewYearly;
        entered.RActive = true;
        const qint32 id = SaveReminder(entered, 0);
        QCOMPARE(reminderRow(id).value("Adv_HebrewDay").toInt(), 30);
        QCOMPARE(reminderRow(id).value("Adv_HebrewMonth").toInt(), int(HebrewMonth::Heshvan));
        for (const Date& expected : {at(2025, 11, 21, 9, 0), at(2026, 11, 10, 9, 0)}) {
            Reschedular(id);
            QCOMPARE(reminderDate(id, "RDate"), expected);
            Clock::setNow(expected);
        }
    }

    // An edit keeps the row's anchor while the due date stays (the occurrence moved for a
    // missing day); a due date the author moved brings its own anchor.
    void anEditKeepsTheAnchorUnlessTheDateMoves()
    {
        ReminderRecord stored;
        std::tie(stored.REventType, stored.RDate) =
            std::tuple(EventHebrewYearly, at(2025, 11, 21, 9));
        std::tie(stored.Adv_HebrewMonth, stored.Adv_HebrewDay) = std::tuple(1, 30);
        ReminderRecord entered = stored;
        QCOMPARE(storedAnchor(AuthoredSave(stored, entered, "me")),
                 std::optional(HebrewAnchor{HebrewMonth::Heshvan, 30}));
        entered.RDate = at(2025, 12, 1, 9);
        QCOMPARE(storedAnchor(AuthoredSave(stored, entered, "me")),
                 std::optional(hebrewAnchorOf(QDate(2025, 12, 1))));
    }

    // Pesach 5787: Thursday 22 April and Wednesday 28 April 2027. Sukkot 5789: Thursday 5
    // October, Shemini Atzeret Thursday 12 October 2028.
    void sundayToThursdaySkipsTheDaysOff()
    {
        QCOMPARE(walk(rule(EventAdvanced, sundayToThursday(true)), at(2027, 4, 21, 8, 0), 4),
                 (QList<Date>{at(2027, 4, 25, 8, 0), at(2027, 4, 26, 8, 0), at(2027, 4, 27, 8, 0),
                              at(2027, 4, 29, 8, 0)}));
        QCOMPARE(walk(rule(EventAdvanced, sundayToThursday(true)), at(2028, 10, 4, 8, 0), 5),
                 (QList<Date>{at(2028, 10, 8, 8, 0), at(2028, 10, 9, 8, 0), at(2028, 10, 10, 8, 0),
                              at(2028, 10, 11, 8, 0), at(2028, 10, 15, 8, 0)}));
        QCOMPARE(walk(rule(EventAdvanced, sundayToThursday(false)), at(2027, 4, 21, 8, 0), 1),
                 QList<Date>{at(2027, 4, 22, 8, 0)});
        AdvancedRule daily;
        daily.Adv_SkipDaysOff = true;
        QCOMPARE(walk(rule(EventDaily, daily), at(2027, 4, 21, 8, 0), 2),
                 (QList<Date>{at(2027, 4, 23, 8, 0), at(2027, 4, 24, 8, 0)}));
    }

    // Rosh Hashana II is Sunday 3 October 2027, Shemini Atzeret Monday 1 October 2029, Shavuot
    // Wednesday 31 May 2028; with the option off, the rules are Sunday to Thursday only.
    void workingDayRulesFollowTheOfficeOption_data()
    {
        QTest::addColumn<bool>("holidaysOff");
        QTest::addColumn<short>("count");
        QTest::addColumn<Date>("from");
        QTest::addColumn<Date>("expected");
        const struct
        {
            const char* name;
            short count;
            Date from;
            Date on;
            Date off;
        } cases[] = {
            {"first, Oct 2027", 0, at(2027, 9, 30, 9), at(2027, 10, 4, 9), at(2027, 10, 3, 9)},
            {"first, Oct 2029", 0, at(2029, 9, 30, 9), at(2029, 10, 2, 9), at(2029, 10, 1, 9)},
            {"last, May 2028", 4, at(2028, 5, 1, 9), at(2028, 5, 30, 9), at(2028, 5, 31, 9)},
        };
        for (const auto& c : cases) {
            QTest::addRow("%s, days off", c.name) << true << c.count << c.from << c.on;
            QTest::addRow("%s, plain", c.name) << false << c.count << c.from << c.off;
        }
    }
    void workingDayRulesFollowTheOfficeOption()
    {
        QFETCH(bool, holidaysOff);
        QFETCH(short, count);
        QFETCH(Date, from);
        QFETCH(Date, expected);
        SetIsraeliHolidaysOff(holidaysOff);
        QCOMPARE(StepRecurrence(rule(EventAdvanced, monthRule(8, count)), from, from).next,
                 expected);
    }

    // With days off, a holiday on a weekday is not working: the first day that is not one in
    // October 2027 is Friday 1st, Rosh Hashana I; the first of Shavuot's month is Wednesday 31st.
    void daysOffCountWithTheWeekend()
    {
        QVERIFY(IsMonthRuleDay(at(2028, 5, 31, 9), 9, 4, true));
        QVERIFY(!IsMonthRuleDay(at(2028, 5, 31, 9), 9, 4, false));
        QVERIFY(IsMonthRuleDay(at(2027, 10, 1, 9), 9, 0, true));
    }
};

QTEST_GUILESS_MAIN(HebrewRecurrenceTest)
#include "tst_scheduling_hebrew.moc"
