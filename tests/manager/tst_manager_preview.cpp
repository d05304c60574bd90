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

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

namespace {

struct Rule
{
    int unit;
    bool advanced;
    int n;
    int weekDays = 0;
    int monthDay = 0;
    int monthCount = 0;
    Date start;
    Date end = {}; // the zero date: no end
};

template <typename T> T* control(QWidget* window, const QString& name)
{
    T* child = window->findChild<T*>(name);
    if (!child)
        qFatal("no control %s", qPrintable(name));
    return child;
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
    control<QCheckBox>(dialog, "NoEnd")->setChecked(rule.end.isZero());
    control<QDateEdit>(dialog, "CDateEnd1")->setDate(rule.end.date());
    control<QTimeEdit>(dialog, "CDateEnd2")->setTime(rule.end.time());
}

Remind* openAlert()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* alert = qobject_cast<Remind*>(w); alert && alert->isVisible())
            return alert;
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Rule)

class OccurrencePreviewTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        setAlertOpener([](qint32 id) { (new Remind)->RLoad(id); });
        setAlertBeepObserver([] {});
    }
    void cleanup()
    {
        f.reset();
        setAlertOpener(nullptr);
        setAlertBeepObserver(nullptr);
    }

    void previewIsWhatDismissingTheAlertsGives_data();
    void previewIsWhatDismissingTheAlertsGives();
    void refusedRuleSaysWhy();

private:
    // The dates the saved reminder takes while it stays active, each alert
    // dismissed as soon as it comes, in the preview's words.
    QString datesTakenByDismissing(qint32 id);
};

void OccurrencePreviewTest::previewIsWhatDismissingTheAlertsGives_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QString>("expected");

    // Now is Sunday 15/03/2026 10:00.
    const Rule mondayWednesday{Date::Week, true, 2, 2 | 8, 0, 0, at(2026, 3, 16, 8, 0)};
    QTest::newRow("Monday and Wednesday every two weeks")
        << mondayWednesday
        << "המופעים הבאים: 16/03/2026 08:00, 18/03/2026 08:00, 30/03/2026 08:00, "
           "01/04/2026 08:00, 13/04/2026 08:00";
    Rule ending = mondayWednesday;
    ending.end = at(2026, 3, 31);
    QTest::newRow("the same, ending on 31/03")
        << ending
        << "המופעים הבאים: 16/03/2026 08:00, 18/03/2026 08:00, 30/03/2026 08:00\n"
           "אין מופעים נוספים";
    // Chosen on Friday 20/03: the last Sunday-to-Thursday day of each month.
    QTest::newRow("last working day of the month")
        << Rule{Date::Month, true, 1, 0, 8, 4, at(2026, 3, 20, 17, 0)}
        << "המופעים הבאים: 31/03/2026 17:00, 30/04/2026 17:00, 31/05/2026 17:00, "
           "30/06/2026 17:00, 30/07/2026 17:00";
    QTest::newRow("monthly from the 31st, clamped")
        << Rule{Date::Month, false, 1, 0, 0, 0, at(2026, 3, 31, 9, 0)}
        << "המופעים הבאים: 31/03/2026 09:00, 30/04/2026 09:00, 30/05/2026 09:00, "
           "30/06/2026 09:00, 30/07/2026 09:00";
}

void OccurrencePreviewTest::previewIsWhatDismissingTheAlertsGives()
{
    QFETCH(Rule, rule);
    QFETCH(QString, expected);
    RMain* window = f->open();
    QTest::mouseClick(f->find<QPushButton>("cmdNew"), Qt::LeftButton);

    QString inDialog;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget()));
        auto* dialog = qobject_cast<FrmAdvOpt*>(QApplication::activeModalWidget());
        enter(dialog, rule);
        inDialog = preview(dialog);
        QTest::mouseClick(control<QPushButton>(dialog, "cmdSave"), Qt::LeftButton);
    });
    QTest::mouseClick(f->find<QPushButton>("cmdAdvOpt"), Qt::LeftButton);
    QCOMPARE(inDialog, expected);
    QCOMPARE(preview(window), expected);

    QTest::mouseClick(f->find<QPushButton>("cmdNew"), Qt::LeftButton); // "שמור כחדש"
    QCOMPARE(preview(window), expected);
    QCOMPARE(datesTakenByDismissing(CurrentReminderId), expected);
}

QString OccurrencePreviewTest::datesTakenByDismissing(qint32 id)
{
    QStringList dates;
    bool active = true;
    while (dates.size() < PreviewedOccurrences) {
        const QVariantMap row = f->row(id);
        active = row.value("RActive").toBool();
        if (!active)
            break;
        const Date due = dateField(row.value("RNext"));
        dates << formatDateTime(dateField(row.value("RDate")));
        if (dates.size() == PreviewedOccurrences)
            break;
        Clock::setNow(due.addSeconds(1));
        CheckRemind();
        Remind* alert = openAlert();
        if (!alert)
            return "no alert for " + formatDateTime(due);
        alert->close();
        if (!QTest::qWaitFor([] { return !openAlert(); }, 5000))
            return "the alert for " + formatDateTime(due) + " stayed open";
    }
    return "המופעים הבאים: " + dates.join(", ") + (active ? "" : "\nאין מופעים נוספים");
}

void OccurrencePreviewTest::refusedRuleSaysWhy()
{
    AdvancedOptions rule;
    rule.StartDate = at(2026, 3, 16, 8, 0);
    FrmAdvOpt dialog(rule);
    control<QLineEdit>(&dialog, "TxtNPeriod")->setText("0");
    QCOMPARE(preview(&dialog), QString("לא ניתן לחשב מופעים: מספר המרווחים חייב להיות 1 לפחות"));
    control<QLineEdit>(&dialog, "TxtNPeriod")->setText("x");
    QCOMPARE(preview(&dialog), QString("לא ניתן לחשב מופעים: ערך לא חוקי"));
}

QTEST_MAIN(OccurrencePreviewTest)
#include "tst_manager_preview.moc"
