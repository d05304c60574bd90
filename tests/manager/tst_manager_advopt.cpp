#include "Clock.h"
#include "FrmAdvOpt.h"
#include "Log.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "ReminderRows.h"
#include "TempProgramDir.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

enum Unit { Day = 2 };

// What the editor hands over for a new reminder: weeks, advanced, no days, no
// end.
AdvancedOptions newRule()
{
    AdvancedOptions o;
    o.StartDate = Date::fromParts(2026, 6, 15, 10, 30); // a Monday
    o.Adv_DateEnd = o.StartDate;
    return o;
}

// Every field of the rule, so one comparison shows all differences.
auto fields(const AdvancedOptions& o)
{
    return std::tuple(o.StartDate, o.Adv_DateEnd.value_or(Date()), o.Adv_Period, o.Adv_PeriodN,
                      o.Adv_AdvOpt, o.Adv_WeekDay, o.Adv_MonthDay, o.Adv_MonthCount, o.Adv_NoEnd);
}

} // namespace

class FrmAdvOptTest : public QObject
{
    Q_OBJECT

    TempProgramDir dir;
    std::unique_ptr<FrmAdvOpt> dlg;

    void open()
    {
        dlg = std::make_unique<FrmAdvOpt>(AdvOptions);
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    }
    template <typename T = QWidget> T* c(const QString& name) { return dlg->findChild<T*>(name); }
    void click(const QString& name) { QTest::mouseClick(c(name), Qt::LeftButton); }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    void typeStep(const QString& text)
    {
        click("TxtNPeriod");
        QTest::keyClick(c("TxtNPeriod"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(c("TxtNPeriod"), text);
    }
    void verifyRefusalShown(int count)
    {
        QTRY_COMPARE(Prompt::history().size(), count);
        QCOMPARE(Prompt::history().last().text, QString("ערך לא חוקי"));
        QVERIFY(c("TxtNPeriod")->hasFocus());
    }

private slots:
    void initTestCase() { StartLogging("Kalvex.log"); }
    void init()
    {
        Clock::setNow(Date::fromParts(2026, 6, 10, 9, 0));
        AdvOptions = newRule();
        Prompt::clearHistory();
        for (int i = 0; i < 4; ++i) // every box is answered; history() tells which were asked
            Prompt::setNextAnswer(Prompt::Answer::Ok);
    }
    void cleanup() { dlg.reset(); }

    // A loaded fixed-step rule comes back unchanged from a save, the start
    // included; an advanced flag stored with a unit that has no advanced
    // rule (it would give no occurrence) is dropped. "ללא סיום" disables
    // the end pickers.
    void saveStoresWhatIsShown()
    {
        AdvancedOptions rule = newRule();
        rule.Adv_DateEnd = Date::fromParts(2026, 12, 31, 18, 45);
        std::tie(rule.Adv_Period, rule.Adv_PeriodN, rule.Adv_WeekDay) = std::tuple(Day, 3, 5);
        std::tie(rule.Adv_MonthDay, rule.Adv_MonthCount, rule.Adv_NoEnd) = std::tuple(8, 4, false);
        AdvOptions = rule;
        open();
        QCOMPARE(c<QDateEdit>("CDateEnd1")->text(), QString("31/12/2026"));
        QCOMPARE(c<QTimeEdit>("CDateEnd2")->text(), QString("18:45"));
        click("NoEnd");
        QVERIFY(!c("CDateEnd1")->isEnabled() && !c("CDateEnd2")->isEnabled());
        click("NoEnd");
        key(Qt::Key_F9);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        rule.Adv_AdvOpt = false;
        QCOMPARE(fields(AdvOptions), fields(rule));
    }

    // The ticked days as a mask, the step rounded; an advanced rule starts on
    // its first occurrence on or after the chosen day, at the chosen time;
    // no day ticked runs as fixed weeks from the day chosen.
    void savedDaysStepAndStart()
    {
        const Date monday = newRule().StartDate;
        const QList<std::tuple<QList<int>, QString, int, int, Date>> cases = {
            {{0, 3}, "2.5", 9, 2, monday.addDays(2)},
            {{6}, "3.5", 64, 4, monday.addDays(5)},
            {{}, "0.6", 0, 1, monday}};
        for (const auto& [days, step, mask, n, start] : cases) {
            AdvOptions = newRule();
            open();
            for (int d : days)
                click(QString("WeekDay_%1").arg(d));
            typeStep(step);
            click("cmdSave");
            QVERIFY(dlg->result() == QDialog::Accepted && AdvOptions.Adv_AdvOpt);
            QCOMPARE(int(AdvOptions.Adv_WeekDay), mask);
            QCOMPARE(int(AdvOptions.Adv_PeriodN), n);
            QCOMPARE(AdvOptions.StartDate, start);
        }
    }

    // A step the recurrence cannot use is refused on leaving the box, and so
    // is the click on "אישור" that would leave it. F9 saves without that check:
    // a text that is no number is logged, a count below 1 is told. Either way
    // the window stays open and nothing is stored; cancelling still works.
    void unusableStepIsRefused()
    {
        const AdvancedOptions before = AdvOptions;
        for (const QString typed : {"abc", "0.5", "40000", "F9 abc", "F9 -2"}) {
            const bool f9 = typed.startsWith("F9 ");
            const qsizetype logBefore = logLines().size();
            Prompt::clearHistory();
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            open();
            typeStep(typed.mid(f9 ? 3 : 0));
            if (f9) {
                key(Qt::Key_F9);
                if (typed == "F9 abc")
                    QVERIFY(Prompt::history().isEmpty() &&
                            logLines().mid(logBefore).join('\n').contains(
                                "Save AdvOpt: Type mismatch"));
                else
                    verifyRefusalShown(1);
            } else {
                key(Qt::Key_Tab);
                verifyRefusalShown(1);
                click("cmdSave");
                verifyRefusalShown(2);
            }
            QVERIFY(dlg->isVisible());
            key(Qt::Key_F12);
            QCOMPARE(dlg->result(), int(QDialog::Rejected));
            QCOMPARE(fields(AdvOptions), fields(before));
        }
    }
};

QTEST_MAIN(FrmAdvOptTest)
#include "tst_manager_advopt.moc"
