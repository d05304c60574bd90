// The next occurrences shown under the rule, in the advanced options window
// and in the editor, against the dates the saved reminder really takes as its
// alerts are dismissed one after another.
#include "ManagerFixture.h"

#include "Beep.h"
#include "CheckRemind.h"
#include "Clock.h"
#include "FrmAdvOpt.h"
#include "ManagerState.h"
#include "Remind.h"
#include "Reminder.h"
#include "ShownAlerts.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Rule
{
    int unit;
    bool advanced;
    int n, weekDays, monthDay, monthCount;
    Date start;
};

template <typename T> T* control(QWidget* window, const QString& name)
{
    return window->findChild<T*>(name);
}

QString preview(QWidget* window)
{
    return control<QLabel>(window, "LblOccurrences")->text();
}

// Sets the window's controls one by one, as the user would.
void enter(FrmAdvOpt* dialog, const Rule& rule)
{
    control<QComboBox>(dialog, "AdvEventType")->setCurrentIndex(rule.unit);
    control<QRadioButton>(dialog, rule.advanced ? "OptPeriod_1" : "OptPeriod_0")->setChecked(true);
    control<QLineEdit>(dialog, "TxtNPeriod")->setText(QString::number(rule.n));
    for (int i = 0; i < 7; ++i)
        control<QCheckBox>(dialog, QStringLiteral("WeekDay_%1").arg(i))
            ->setChecked(rule.weekDays & (1 << i));
    control<QComboBox>(dialog, "MonthCombo1")->setCurrentIndex(rule.monthDay);
    control<QComboBox>(dialog, "MonthCombo2")->setCurrentIndex(rule.monthCount);
    control<QDateEdit>(dialog, "CDateStart1")->setDate(rule.start.date());
    control<QTimeEdit>(dialog, "CDateStart2")->setTime(rule.start.time());
}

Remind* openAlert()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* alert = qobject_cast<Remind*>(w); alert && alert->isVisible())
            return alert;
    return nullptr;
}

// The dates the saved reminder takes, each alert dismissed as soon as it
// comes, in the preview's words.
QString datesTakenByDismissing(qint32 id)
{
    QStringList dates{formatDateTime(reminderDate(id, "RDate"))};
    while (dates.size() < PreviewedOccurrences) {
        const Date due = reminderDate(id, "RNext");
        Clock::setNow(due.addSeconds(1));
        CheckRemind();
        Remind* alert = openAlert();
        if (!alert)
            return "no alert for " + formatDateTime(due);
        alert->close();
        if (!QTest::qWaitFor([] { return !openAlert(); }, 5000))
            return "the alert for " + formatDateTime(due) + " stayed open";
        dates << formatDateTime(reminderDate(id, "RDate"));
    }
    return "המופעים הבאים: " + dates.join(", ");
}

} // namespace

class OccurrencePreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setAlertOpener([](qint32 id) { (new Remind)->RLoad(id); });
        setAlertBeepObserver([] {});
    }

    // The rule entered for a new reminder, shown in the window and the editor,
    // then the reminder saved and each alert dismissed as soon as it comes.
    void previewIsWhatDismissingTheAlertsGives()
    {
        // Now is Sunday 15/03/2026 10:00.
        const QList<std::pair<Rule, QString>> rules = {
            {{Date::Week, true, 2, 2 | 8, 0, 0, at(2026, 3, 16, 8, 0)}, // Monday and Wednesday
             "16/03/2026 08:00, 18/03/2026 08:00, 30/03/2026 08:00, 01/04/2026 08:00, "
             "13/04/2026 08:00"},
            // Chosen on Friday 20/03: the last Sunday-to-Thursday day of each month.
            {{Date::Month, true, 1, 0, 8, 4, at(2026, 3, 20, 17, 0)},
             "31/03/2026 17:00, 30/04/2026 17:00, 31/05/2026 17:00, 30/06/2026 17:00, "
             "30/07/2026 17:00"},
            // Monthly from the 31st, clamped.
            {{Date::Month, false, 1, 0, 0, 0, at(2026, 3, 31, 9, 0)},
             "31/03/2026 09:00, 30/04/2026 09:00, 30/05/2026 09:00, 30/06/2026 09:00, "
             "30/07/2026 09:00"}};
        for (const auto& rule : rules) {
            const QString expected = "המופעים הבאים: " + rule.second;
            ManagerFixture f;
            RMain* window = f.open();
            f.click("cmdNew");
            QTimer::singleShot(0, [&] {
                QTRY_VERIFY(qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget()));
                auto* dialog = qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget());
                enter(dialog, rule.first);
                QTest::mouseClick(control<QPushButton>(dialog, "cmdSave"), Qt::LeftButton);
                QCOMPARE(preview(dialog), expected);
            });
            f.click("cmdAdvOpt");
            f.click("cmdNew"); // "שמור כחדש"
            QCOMPARE(preview(window), expected);
            QCOMPARE(datesTakenByDismissing(CurrentReminderId), expected);
        }
    }
};

QTEST_MAIN(OccurrencePreviewTest)
#include "tst_manager_preview.moc"
