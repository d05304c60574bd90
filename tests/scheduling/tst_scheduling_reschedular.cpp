#include "Recurrence.h"
#include "Reminder.h"
#include "ReminderRows.h"

#include <QTest>

#include <memory>

namespace {

QVariantMap field(const char* name, const QVariant& value)
{
    return {{QLatin1String(name), value}};
}

// Advanced, by default every 2 weeks on Monday and Wednesday with an end; the
// current occurrence is Wednesday 4 November 08:00, postponed by 30 minutes,
// so the next is Monday 16 November 08:00.
qint32 advanced(const QVariantMap& changes, const Date& date = at(2026, 11, 4, 8, 0))
{
    QVariantMap fields{{QStringLiteral("Adv_AdvOpt"), 1},
                       {QStringLiteral("Adv_Period"), 3},
                       {QStringLiteral("Adv_PeriodN"), 2},
                       {QStringLiteral("Adv_WeekDay"), 10},
                       {QStringLiteral("Adv_NoEnd"), 0}};
    fields.insert(changes);
    return insertReminder(reminderFields(EventAdvanced, date, date.addMinutes(30), fields));
}

int activeOf(qint32 id)
{
    return reminderRow(id).value(QStringLiteral("RActive")).toInt();
}

} // namespace

class ReschedularTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<SchedulingDir>(at(2026, 11, 5, 9, 5)); }
    void cleanup() { m_dir.reset(); }

    void dismissedReminderMovesOnOrIsSwitchedOff()
    {
        const qint32 once =
            insertReminder(reminderFields(EventOnce, at(2026, 11, 5, 9, 0), at(2026, 11, 5, 9, 3)));
        // Due Monday 09:00, postponed to 09:30: the postponement does not carry over.
        const qint32 daily = insertReminder(
            reminderFields(EventDaily, at(2026, 11, 2, 9, 0), at(2026, 11, 2, 9, 30)));
        // First working day of the month, left behind since June: it catches up
        // one rule day at a time, so it is still due.
        const qint32 monthly = advanced({{QStringLiteral("Adv_Period"), 4},
                                         {QStringLiteral("Adv_PeriodN"), 1},
                                         {QStringLiteral("Adv_MonthDay"), 8},
                                         {QStringLiteral("Adv_NoEnd"), 1}},
                                        at(2026, 6, 28, 10, 0));
        for (qint32 id : {once, daily, monthly, 4242})
            Reschedular(id);
        QCOMPARE(activeOf(once), 0);
        QCOMPARE(reminderDate(once, "RNext"), at(2026, 11, 5, 9, 3));
        QCOMPARE(reminderDate(daily, "RDate"), at(2026, 11, 6, 9, 0));
        QCOMPARE(reminderDate(daily, "RNext"), at(2026, 11, 6, 9, 0));
        QCOMPARE(reminderDate(monthly, "RNext"), at(2026, 7, 1, 10, 0));
        QCOMPARE(activeOf(monthly), 1);
        QVERIFY(logLines().isEmpty()); // the missing reminder 4242 included
    }

    void advancedSeriesEndsAfterItsLastStep()
    {
        const QVariant tuesday = QVariant::fromValue(at(2026, 11, 10, 12, 0));
        const qint32 ended = advanced(field("Adv_DateEnd", tuesday));
        const qint32 notYet =
            advanced(field("Adv_DateEnd", QVariant::fromValue(at(2026, 11, 16, 8, 0, 1))));
        const qint32 noEnd =
            advanced({{QStringLiteral("Adv_DateEnd"), tuesday}, {QStringLiteral("Adv_NoEnd"), 1}});
        const qint32 nullEnd = advanced(field("Adv_DateEnd", QVariant()));
        for (qint32 id : {ended, notYet, noEnd, nullEnd}) {
            Reschedular(id);
            // Moved on even when the step ends the series.
            QCOMPARE(reminderDate(id, "RDate"), at(2026, 11, 16, 8, 0));
            QCOMPARE(reminderDate(id, "RNext"), at(2026, 11, 16, 8, 0));
            QCOMPARE(activeOf(id), id == ended ? 0 : 1);
        }
    }

    // Such a rule would leave the reminder due for ever: it is switched off,
    // and nothing else in the row changes.
    void refusedRuleSwitchesTheReminderOff()
    {
        const QVariantMap monthDay10{{QStringLiteral("Adv_Period"), 4},
                                     {QStringLiteral("Adv_MonthDay"), 10}};
        const std::pair<QVariantMap, const char*> cases[] = {
            {field("Adv_PeriodN", 0), "step count 0"},
            {field("Adv_PeriodN", QVariant()), "Null"},
            {field("Adv_WeekDay", 128), "weekday mask 128"},
            {field("Adv_Period", 6), "unit 6"},
            {field("REventType", 2), "type 2"},
            {monthDay10, "day kind 10"}};
        for (const auto& [changes, reason] : cases) {
            const qint32 id = advanced(changes);
            QVariantMap expected = reminderRow(id);
            expected.insert(QStringLiteral("RActive"), 0);
            Reschedular(id);
            QCOMPARE(reminderRow(id), expected);
            QVERIFY2(logLines().constLast().contains(QStringLiteral(" -> Reschedular: ")) &&
                         logLines().constLast().contains(QLatin1String(reason)),
                     reason);
        }
        QCOMPARE(logLines().size(), int(std::size(cases)));
    }

private:
    std::unique_ptr<SchedulingDir> m_dir;
};

QTEST_GUILESS_MAIN(ReschedularTest)
#include "tst_scheduling_reschedular.moc"
