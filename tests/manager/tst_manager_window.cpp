// The manager window on a real database file, its rule window and the alerts it leads to.

#include "alert/Remind.h"
#include "manager/FrmAdvOpt.h"
#include "manager/ManagerState.h"
#include "manager/RFind.h"
#include "platform/Clock.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/UiConventions.h"
#include "platform/ui/UndoDelete.h"
#include "scheduling/CheckRemind.h"
#include "scheduling/DeletionUndo.h"
#include "scheduling/ShownAlerts.h"
#include "store/Reminder.h"
#include "tests/support/ManagerFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QString mismatches(const QVariantMap& row, const QVariantMap& expected)
{
    QStringList differences;
    for (const auto& [key, value] : expected.asKeyValueRange()) {
        const QVariant actual = row.value(key);
        if (value.metaType() == QMetaType::fromType<Date>()
                ? dateField(actual) != value.value<Date>()
            : value.typeId() == QMetaType::Bool ? actual.toBool() != value.toBool()
                                                : actual.toString() != value.toString())
            differences << key + ": " + actual.toString();
    }
    return differences.join("; ");
}

struct Rule
{
    int unit;
    bool advanced;
    int n, weekDays, monthDay, monthCount;
    Date start;
};

QString preview(QWidget* window)
{
    return window->findChild<QLabel*>("LblOccurrences")->text();
}

void enter(FrmAdvOpt* dialog, const Rule& rule)
{
    dialog->findChild<QComboBox*>("AdvEventType")->setCurrentIndex(rule.unit);
    dialog->findChild<QRadioButton*>(rule.advanced ? "OptPeriod_1" : "OptPeriod_0")
        ->setChecked(true);
    dialog->findChild<QLineEdit*>("TxtNPeriod")->setText(QString::number(rule.n));
    for (int i = 0; i < 7; ++i)
        dialog->findChild<QCheckBox*>(QStringLiteral("WeekDay_%1").arg(i))
            ->setChecked(rule.weekDays & (1 << i));
    dialog->findChild<QComboBox*>("MonthCombo1")->setCurrentIndex(rule.monthDay);
    dialog->findChild<QComboBox*>("MonthCombo2")->setCurrentIndex(rule.monthCount);
    dialog->findChild<QDateEdit*>("CDateStart1")->setDate(rule.start.date());
    dialog->findChild<QTimeEdit*>("CDateStart2")->setTime(rule.start.time());
}

Remind* openAlert()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* alert = qobject_cast<Remind*>(w); alert && alert->isVisible())
            return alert;
    return nullptr;
}

// The dates taken, each alert dismissed as it comes, in the preview's words.
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

// One press of find first or next: typed, where, how; the status and current title after it.
struct Search
{
    bool first;
    QString text;
    int in, by; // in the title (0) or details (1); begins (0), contains (1), whole field (2)
    QString status, current;
};

const QString OK = "OK", kNone = "לא נמצאה התאמה";

using Answer = Prompt::Answer;

// A new reminder's rule: weeks, advanced, no days, no end.
AdvancedOptions newRule()
{
    AdvancedOptions o;
    o.StartDate = Date::fromParts(2026, 6, 15, 10, 30); // a Monday
    o.Adv_DateEnd = o.StartDate;
    return o;
}

auto ruleFields(const AdvancedOptions& o)
{
    return std::tuple(o.StartDate, o.Adv_DateEnd.value_or(Date()), o.Adv_Period, o.Adv_PeriodN,
                      o.Adv_AdvOpt, o.Adv_WeekDay, o.Adv_MonthDay, o.Adv_MonthCount, o.Adv_NoEnd);
}

} // namespace

class RMainWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;
    QList<qint32> m_sent; // broadcast ids of the deletions sent over the network

    void refresh() const { QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_F5); }
    // Runs the searches in the find dialog's modal loop, then cancels it.
    void run(const QList<Search>& searches)
    {
        if (QTest::currentTestFailed())
            return; // one failure is enough to read
        const auto find = [this] { f->find<QToolButton>("cmdFind")->click(); };
        const auto searchAll = [&](QWidget* dialog) {
            QVERIFY(qobject_cast<RFind*>(dialog));
            for (const Search& s : searches) {
                dialog->findChild<QLineEdit*>("SearchText")->setText(s.text);
                dialog->findChild<QComboBox*>("SearchIn")->setCurrentIndex(s.in);
                dialog->findChild<QComboBox*>("SearchBy")->setCurrentIndex(s.by);
                dialog->findChild<QPushButton*>(s.first ? "cmdFind_0" : "cmdFind_1")->click();
                const QString label = s.text + ": ";
                QCOMPARE(label + dialog->findChild<QLabel*>("LStatus")->text(), label + s.status);
                QCOMPARE(label + f->find<QLineEdit>("CCaption")->text(), label + s.current);
            }
            dialog->findChild<QPushButton*>("cmdCancel")->click();
        };
        QVERIFY(whileModal(find, searchAll));
    }

    QLineEdit* caption() { return f->find<QLineEdit>("CCaption"); }
    void click(const char* name) { f->click(name); }
    void key(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : f->window(), key);
    }

    std::unique_ptr<FrmAdvOpt> dlg; // the advanced options window on its own

    void openRule()
    {
        dlg = std::make_unique<FrmAdvOpt>(AdvOptions);
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    }
    template <typename T = QWidget> T* c(const QString& name) { return dlg->findChild<T*>(name); }
    void typeStep(const QString& text)
    {
        QTest::mouseClick(c("TxtNPeriod"), Qt::LeftButton);
        QTest::keyClick(c("TxtNPeriod"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(c("TxtNPeriod"), text);
    }
    void verifyRefusalShown(int count)
    {
        QTRY_COMPARE(Prompt::history().size(), count);
        QVERIFY(c("TxtNPeriod")->hasFocus());
    }

private slots:
    void initTestCase()
    {
        UiConventions::install(); // as both programs do at start-up
        setAlertOpener([](qint32 id) { (new Remind)->RLoad(id); });
        setAlertBeepObserver([] {});
    }
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        m_sent.clear();
        setSharingHooks({[this](qint32 id) { return m_sent << id, true; }, {}});
    }
    void cleanup()
    {
        if (QWidget* notice = UndoDelete::notice()) // holds this test's deletions
            notice->close();
        dlg.reset(), f.reset();
        setSharingHooks({}), RMain::setLanWindows({});
    }

    // A date with a tie and a text with a null, ascending then descending, ties by RMain_Id.
    void headersSortAscendingThenDescendingWithTiesById()
    {
        auto add = [this](int due, int registered, const QVariant& detail) {
            return f->add({{"RDate", dated(2026, 4, due, 9)},
                           {"RDate0", dated(2026, 4, registered)},
                           {"RDetail", detail}});
        };
        const qint32 a = add(3, 30, "x"), b = add(1, 10, QVariant()), c = add(3, 10, "a"),
                     d = add(2, 20, "m");
        f->open();
        QCOMPARE(f->listIds(), (QList<qint32>{b, d, a, c})); // by RDate at opening
        const QList<std::tuple<int, QList<qint32>, QList<qint32>>> cases = {
            {6, {b, c, d, a}, {a, d, b, c}}, {4, {b, c, d, a}, {a, d, c, b}}};
        for (const auto& [header, ascending, descending] : cases) {
            f->clickHeader(header);
            QCOMPARE(f->listIds(), ascending);
            f->clickHeader(header);
            QCOMPARE(f->listIds(), descending);
        }
    }

    // The filter, the move buttons and F5 keep counter, selection and editor together.
    void filterMoveButtonsRefreshAndShowIndex()
    {
        const qint32 a1 = f->add({{"RCaption", "a1"}, {"RDate", dated(2026, 4, 1)}});
        const qint32 i1 =
            f->add({{"RCaption", "i1"}, {"RDate", dated(2026, 4, 2)}, {"RActive", false}});
        const qint32 a2 = f->add({{"RCaption", "a2"}, {"RDate", dated(2026, 4, 3)}});
        const qint32 a3 = f->add({{"RCaption", "a3"}, {"RDate", dated(2026, 4, 4)}});
        f->open();
        f->click("OptShow_0");
        auto* caption = f->find<QLineEdit>("CCaption");
        // Button, row after: next, last, next at the end, back, first, back at the start.
        for (const auto& [button, row] :
             QList<std::pair<int, int>>{{1, 2}, {0, 3}, {1, 3}, {2, 2}, {3, 1}, {2, 1}}) {
            f->click(QStringLiteral("cmdMoveRS_%1").arg(button));
            QCOMPARE(f->counter(), QStringLiteral(" שורה %1 מתוך 3").arg(row));
            QCOMPARE(f->selectedRow(), row - 1);
            QCOMPARE(caption->text(), QStringLiteral("a%1").arg(row));
        }
        f->click("cmdMoveRS_0");

        const qint32 a0 = f->add({{"RCaption", "a0"}, {"RDate", dated(2026, 3, 31)}});
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(a1));
        refresh();
        QCOMPARE(f->listIds(), (QList<qint32>{a0, a2, a3}));
        QCOMPARE(f->counter(), " שורה 3 מתוך 3");
        QCOMPARE(CurrentReminderId, a3);

        f->click("OptShow_1");
        QCOMPARE(f->listIds(), QList<qint32>{i1});

        // ShowList and the alert's "פתח ברשימה": past the filter, the stored row, an edit kept.
        RMain* w = f->window();
        w->ShowIndex(a0);
        QVERIFY(f->find<QRadioButton>("OptShow_2")->isChecked());
        QCOMPARE(caption->text(), "a0");
        QCOMPARE(f->listIds().value(f->selectedRow()), a0);
        f->sql(QStringLiteral("UPDATE Main_tbl SET RDate = RDate + 1, RNext = RDate + 1 WHERE "
                              "RMain_Id = %1")
                   .arg(a0));
        w->ShowIndex(a0);
        QVERIFY(f->listLines().first().startsWith("01/04/2026 00:00"));
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 4, 1));
        caption->setText("a0 edited");
        w->ShowIndex(i1);
        QCOMPARE(caption->text(), "a0 edited");
        QCOMPARE(f->listIds().value(f->selectedRow()), a0);
    }

    // A database a newer program marked is refused from the next load on; nothing saved.
    void newerDatabaseIsRefusedFromTheNextLoad()
    {
        f->add({});
        f->open();
        f->sql("PRAGMA user_version = 210");
        f->clickHeader(0);
        refresh();
        QCOMPARE(f->listIds().size(), 1);
        f->close();
        f->open();
        QVERIFY(f->listIds().isEmpty());
        QCOMPARE(f->window()->sortField(), "RCaption"); // kept from the last opening
        f->click("cmdNew");
        f->click("cmdNew");
        QCOMPARE(f->rowCount(), 1);
        QCOMPARE(logLines().size(), 2);
        QVERIFY(logLines()[0].contains("LoadData: "));
        QVERIFY(logLines()[1].contains("Save: "));
    }

    void copyListPutsTheListedRowsOnTheClipboard()
    {
        f->add({{"RCaption", "a long caption of more than sixteen"},
                {"RDetail", "א\r\nב\r\n"},
                {"RAuthor", "dana"},
                {"RDate", dated(2026, 4, 1, 9, 30)},
                {"RDate0", dated(2026, 3, 15)}});
        f->open();
        f->click("OptShow_1"); // nothing listed: the clipboard keeps what it holds
        QGuiApplication::clipboard()->setText("before");
        f->find<QAction>("mnu_CopyList")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        f->click("OptShow_2");
        f->find<QAction>("mnu_CopyList")->trigger();
        // clang-format off
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(
            "תאריך יעד\tתאריך רישום\tהכותרת\tחשיבות\tסוג מופע\tמחבר\tפעיל\tפרטים"
            "\r\n01/04/2026 09:30\t15/03/2026\ta long caption of more than sixteen\tרגילה\t"
            "חד-פעמי\tdana\tכן\tא\r\n\t\t\t\t\t\t\tב\r\n\t\t\t\t\t\t\t"));
        // clang-format on
        QVERIFY(logLines().isEmpty());
    }

    // By id: the row at its place, or the new last, becomes current; none left keeps the editor.
    // One this user sent asks "האם למחוק ברשת" too: yes sends its id, cancel keeps it; copies not.
    void deletingKeepsThePositionAndAsksAboutTheNetwork()
    {
        const QList<QVariantMap> shared = {{},
                                           {{"IAMAuthor", 1}, {"BroadcastId", -77}},
                                           {{"IAMAuthor", 1}, {"BroadcastId", 77}},
                                           {{"IAMAuthor", 0}, {"BroadcastId", 77}}}; // a copy
        QList<qint32> ids;
        for (QVariantMap fields : shared) {
            const int day = int(ids.size()) + 1;
            fields.insert({{"RCaption", QString("r%1").arg(day)}, {"RDate", dated(2026, 4, day)}});
            ids << f->add(fields);
        }
        RMain* w = f->open();
        // Deleted, answers, deleted indeed, id sent (0: none), current afterwards (-1: none left).
        const QList<std::tuple<int, QList<Answer>, bool, qint32, int>> cases = {
            {1, {Answer::Ok, Answer::Yes}, true, -77, 2},
            {2, {Answer::Ok, Answer::Cancel}, false, 0, 2},
            {3, {Answer::Ok}, true, 0, 2},
            {2, {Answer::Ok, Answer::Yes}, true, 77, 0},
            {0, {Answer::Ok}, true, 0, -1}};
        for (const auto& [index, answers, deleted, sent, current] : cases) {
            Prompt::clearHistory(), m_sent.clear();
            w->ShowIndex(ids[index]);
            for (Answer answer : answers)
                Prompt::setNextAnswer(answer);
            f->click("cmdDelete");
            QCOMPARE(Prompt::history().size(), answers.size());
            QCOMPARE(Prompt::history().last().text,
                     answers.size() == 2 ? QString("האם למחוק ברשת")
                                         : QString("למחוק את התזכורת \"r%1\"?").arg(index + 1));
            QCOMPARE(f->row(ids[index]).isEmpty(), deleted);
            QCOMPARE(m_sent, sent ? QList<qint32>{sent} : QList<qint32>{});
            QCOMPARE(f->listIds().value(f->selectedRow(), -1), ids.value(current, -1));
        }
        QCOMPARE(caption()->text(), "r1");
        QCOMPARE(logLines(), QStringList());
    }

    // Ctrl+Z while the status line offers it takes the deletion back: the row as it was, listed
    // again, shared again when its deletion went out on the network; then nothing is left to undo.
    void aDeletionFromTheListCanBeTakenBack()
    {
        QList<qint32> sentAgain;
        setSharingHooks({[this](qint32 id) { return m_sent << id, true; },
                         [&](qint32 id) { return sentAgain << id, true; }});
        const qint32 kept = f->add({{"RCaption", "נשאר"}});
        const qint32 id = f->add({{"RCaption", "נמחק"}, {"IAMAuthor", 1}, {"BroadcastId", -9}});
        const QVariantMap before = f->row(id);
        RMain* w = f->open();
        w->ShowIndex(id);
        Prompt::setNextAnswer(Answer::Ok);
        Prompt::setNextAnswer(Answer::Yes);
        f->click("cmdDelete");
        QCOMPARE(f->listIds(), QList<qint32>{kept});
        QCOMPARE(f->find<QLabel>("LStatus")->text(), RMain::kUndoOffered);
        QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f->row(id), before);
        QTRY_COMPARE(f->listIds(), QList<qint32>({kept, id}));
        QCOMPARE(m_sent, QList<qint32>{-9});
        QCOMPARE(sentAgain, QList<qint32>{id});
        QCOMPARE(f->find<QLabel>("LStatus")->text(), QString());
        QCOMPARE(UndoDelete::notice(), nullptr);
        QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(sentAgain, QList<qint32>{id});
        QCOMPARE(logLines(), QStringList());
    }

    // A new reminder starts private, whatever the one shown before had, and received by nobody;
    // the audience last sent to waits under "שלח ברשת" and goes out only once the box is ticked.
    void aNewReminderStartsPrivate()
    {
        QStringList sends; // "all" or the list, per send
        RMain::setSendRUpdateHook([&](Dynaset&, qint32, bool toList, const QString& sentTo) {
            sends << (toList ? sentTo : "all");
            return true;
        });
        RMain::LanWindows windows;
        QList<qint32> asked; // the reminder whose receipts the recipient list shows
        windows.chooseRecipients = [&](QWidget*, const QString&, qint32 id) {
            asked << id;
            return std::optional<QString>("dana\r");
        };
        RMain::setLanWindows(windows);
        f->open()->ShowIndex(f->add({{"IAMAuthor", 1}, {"BroadcastId", 77}}));
        const auto* send = f->find<QCheckBox>("LANSend");
        QVERIFY(send->isChecked()); // shared with everybody
        QTest::keyClick(caption(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!send->isChecked());
        click("cmdNew"); // "שמור כחדש"
        QCOMPARE(sends, QStringList());

        click("cmdNew");
        click("cmdOptList"); // the list chosen arms the send
        click("cmdNew");
        click("cmdNew");
        QVERIFY(!send->isChecked());
        QVERIFY(f->find<QRadioButton>("OptSend_1")->isChecked());
        click("cmdNew");
        QCOMPARE(sends, QStringList{"dana\r"});
        click("cmdNew");
        click("LANSend");
        click("cmdNew");
        QCOMPARE(sends, QStringList({"dana\r", "dana\r"}));
        click("cmdOptList"); // the one saved: its own receipts, a new one's none
        QCOMPARE(asked, (QList<qint32>{0, CurrentReminderId}));
    }

    // The question counts what goes; only the exact typed word deletes, only what is listed,
    // nothing sent; gone rows skipped.
    void theListedSetGoesOnTheTypedWord()
    {
        QList<qint32> active;
        for (int day = 1; day <= 3; ++day)
            active << f->add(
                {{"IAMAuthor", 1}, {"BroadcastId", 5}, {"RDate", dated(2026, 4, day)}});
        const qint32 inactive = f->add({{"RActive", 0}, {"RDate", dated(2026, 4, 9)}});
        f->open();
        f->click("OptShow_1"); // "לא פעיל": the question says how many go
        Prompt::setNextInput(QString());
        f->click("cmdDeleteAll");
        QCOMPARE(Prompt::history().last().text, "התזכורת שברשימה תימחק. הקלד 'כן' לאישור המחיקה");
        f->click("OptShow_0"); // "פעיל"
        for (const QString& typed : {QStringLiteral("כן "), QStringLiteral("כ"), QString()}) {
            Prompt::setNextInput(typed);
            f->click("cmdDeleteAll");
        }
        QCOMPARE(Prompt::history().last().text,
                 "3 התזכורות שברשימה יימחקו. הקלד 'כן' לאישור המחיקה");
        QCOMPARE(f->rowCount(), 4);
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(active[0]));
        Prompt::setNextInput("כן");
        f->click("cmdDeleteAll");
        QCOMPARE(f->rowCount(), 1);
        QVERIFY(!f->row(inactive).isEmpty());
        QCOMPARE(f->listIds(), QList<qint32>());
        QCOMPARE(m_sent, QList<qint32>());
        QCOMPARE(logLines(), QStringList());
    }

    // In the list's order with Like patterns, letters in any case, Hebrew too.
    void findsInTheListsOrderWithTheEnginesPatterns()
    {
        f->open();
        run({{true, "x", 0, 0, "הרשימה ריקה", "תזכורת חדשה"}});

        const auto add = [&](const char* caption, const QVariant& detail, int day, bool active) {
            f->add({{"RCaption", QString::fromUtf8(caption)},
                    {"RDetail", detail},
                    {"RDate", dated(2026, 4, day, 9, 0)},
                    {"RActive", active}});
        };
        add("Alpha meeting", "line one\r\nSecond Line", 1, true);
        add("alpha 2", "x", 2, false);
        add("פגישה עם דנה", "דנה", 3, true);
        add("Report 100%", "Alpha", 4, true);
        add("[draft] plan", QVariant(), 5, true);
        add("say \"hi\"", "hi", 6, true);
        f->click("cmdRefresh");
        // clang-format off
        run({
            {true, "ALPHA", 0, 0, OK, "Alpha meeting"},
            {false, "alpha", 0, 0, OK, "alpha 2"},               // next, in list order
            {false, "alpha", 0, 0, kNone, "alpha 2"},            // no wrap; the last match stays
            {true, "*meet", 0, 0, OK, "Alpha meeting"},          // Like pattern characters
            {true, "[[]draft]", 0, 0, OK, "[draft] plan"},
            {true, "say \"", 0, 0, "שגיאה", "[draft] plan"},      // a double quote
            {true, "עם", 0, 0, kNone, "[draft] plan"},           // begins with
            {true, "עם", 0, 1, OK, "פגישה עם דנה"},              // contains
            {true, "second line", 1, 1, OK, "Alpha meeting"},    // in a further line of the details
            {true, "ALPHA", 1, 2, OK, "Report 100%"},            // the whole field
            {false, "*", 1, 1, OK, "say \"hi\""},                // null details match nothing
        });
        // clang-format on

        f->click("OptShow_0");
        f->clickHeader(1);
        run({{true, "*a", 0, 1, OK, "say \"hi\""}, {false, "alpha", 0, 0, OK, "Alpha meeting"}});
    }

    // Refused with the field's message, the focus on it, nothing stored.
    void validationRefusesTheSave()
    {
        const QList<std::tuple<QString, int, int, QString, QString>> cases = {
            {"", 0, 0, "יש להזין כותרת", "CCaption"},
            {"   ", 0, 0, "יש להזין כותרת", "CCaption"},
            {"t!", 7, 0, "יש להזין חשיבות", "CImportance"},
            {"t!", 1, 3, "יש להזין סוג מופע", "CEventType"}};
        QList<qint32> ids;
        for (const auto& [title, importance, type, message, focus] : cases)
            ids << f->add({{"RCaption", "t"}, {"RImportance", importance}, {"REventType", type}});
        f->open();
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const auto& [title, importance, type, message, focus] = cases[i];
            caption()->setFocus();
            caption()->setText(title);
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            key(Qt::Key_F9);
            QCOMPARE(Prompt::history().last().text, message);
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(f->row(ids[i]).value("RCaption").toString(), "t");
            key(Qt::Key_F12);
            click("cmdMoveRS_1");
        }
    }

    // Saved as bi-monthly: title cleaned and cut, due taken as next, stored days and author kept.
    void saveWritesTheFieldsOfTheRecurrenceType()
    {
        // clang-format off
        const qint32 id = f->add({{"RCaption", "old"}, {"RDate", dated(2026, 4, 1, 9)},
            {"RNext", dated(2026, 4, 1, 9, 45)}, {"RAuthor", "other"}, {"REventType", 100},
            {"Adv_AdvOpt", true}, {"Adv_Period", 0}, {"Adv_PeriodN", 7}, {"Adv_WeekDay", 5},
            {"Adv_MonthDay", 3}, {"Adv_MonthCount", 2}, {"Adv_NoEnd", false}});
        // clang-format on
        f->open();
        caption()->setText(QStringLiteral("a\tb") + QString(57, 'x'));
        f->find<QDateEdit>("CDate1")->setDate(QDate(2026, 6, 2));
        f->find<QTimeEdit>("CDate2")->setTime(QTime(18, 30));
        f->find<QPlainTextEdit>("CDetail")->setPlainText("x\ty\nz");
        f->find<QComboBox>("CEventType")->setCurrentIndex(5);
        key(Qt::Key_F9);

        const QVariant due = dated(2026, 6, 2, 18, 30);
        // clang-format off
        QCOMPARE(mismatches(f->row(id), {
            {"RCaption", (QStringLiteral("a b") + QString(57, 'x')).left(50)}, {"RDetail", "x y\r\nz"},
            {"RDate", due}, {"RNext", due}, {"REventType", 30}, {"Adv_Period", 4},
            {"Adv_PeriodN", 2}, {"Adv_AdvOpt", false}, {"Adv_NoEnd", true}, {"Adv_DateEnd", due},
            {"Adv_WeekDay", 5}, {"Adv_MonthDay", 3}, {"Adv_MonthCount", 2}, {"RAuthor", "other"},
            {"RActive", true}}), QString());
        // clang-format on
        QVERIFY(f->listLines().first().startsWith("02/06/2026 18:30"));
    }

    // "שמור כחדש" over an edit leaves the edited one as it was; an empty author is filled.
    void saveAsNewLeavesTheEditedReminderAsItWas()
    {
        f->open();
        click("cmdNew");
        caption()->setText("A");
        click("cmdNew");
        const qint32 a = CurrentReminderId;
        f->sql("UPDATE Main_tbl SET RAuthor = NULL");

        caption()->setText("B");
        click("cmdNew");
        const qint32 b = CurrentReminderId;
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->row(a).value("RCaption").toString(), "A");
        QCOMPARE(f->listIds().value(f->selectedRow()), b);
        QCOMPARE(f->row(b).value("RAuthor").toString(), "me");

        click("cmdMoveRS_3");
        caption()->setText("A2");
        click("cmdSave");
        QCOMPARE(f->row(a).value("RAuthor").toString(), "me");

        // Deleted meanwhile: stored again as a new reminder on the user's word.
        caption()->setText("A3");
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(a));
        Prompt::setNextAnswer(Answer::Yes);
        click("cmdSave");
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->row(CurrentReminderId).value("RCaption").toString(), "A3");
    }

    // A null due date shows as now (never the zero date); a rule with no end fields opens with
    // no end, its occurrences previewed at once; a cancelled rule window keeps the rule.
    void nullDatesAndACancelledRuleKeepTheLoadedRule()
    {
        // clang-format off
        const QVariantMap rule = {{"REventType", 100}, {"Adv_Period", 4}, {"Adv_PeriodN", 2},
            {"Adv_AdvOpt", true}, {"Adv_MonthDay", 8}, {"Adv_MonthCount", 4}, {"Adv_NoEnd", false}};
        // clang-format on
        QVariantMap fields = rule;
        fields.insert({{"RDate", QVariant()}, {"RNext", QVariant()}, {"Adv_DateEnd", QVariant()}});
        const qint32 id = f->add(fields);
        f->open();
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 3, 15));
        Date handed;
        QVERIFY(whileModal([this] { click("cmdAdvOpt"); },
                           [&](QWidget* window) {
                               QVERIFY(qobject_cast<FrmAdvOpt*>(window));
                               QVERIFY(window->findChild<QCheckBox*>("NoEnd")->isChecked());
                               QCOMPARE(preview(window).count(", "), PreviewedOccurrences - 1);
                               handed = AdvOptions.StartDate;
                               window->close();
                           }));
        QCOMPARE(handed, at(2026, 3, 15, 10, 0));
        caption()->setText("renamed");
        key(Qt::Key_F9);
        QCOMPARE(mismatches(f->row(id), rule), QString());
        QCOMPARE(reminderDate(id, "RDate"), at(2026, 3, 15, 10, 0));
        QVERIFY(f->row(id).value("Adv_DateEnd").isNull());
    }

    // The preview names the period and lists the dates dismissing the alerts gives.
    void previewIsWhatDismissingTheAlertsGives()
    {
        const QList<std::tuple<Rule, QString, QString>> rules = {
            {{Date::Week, true, 2, 2 | 8, 0, 0, at(2026, 3, 16, 8, 0)}, // Monday and Wednesday
             "כל שבועיים",
             "16/03/2026 08:00, 18/03/2026 08:00, 30/03/2026 08:00, 01/04/2026 08:00, "
             "13/04/2026 08:00"},
            // Chosen on Friday 20/03: the last Sunday-to-Thursday day of each month.
            {{Date::Month, true, 1, 0, 8, 4, at(2026, 3, 20, 17, 0)},
             "כל חודש",
             "31/03/2026 17:00, 30/04/2026 17:00, 31/05/2026 17:00, 30/06/2026 17:00, "
             "30/07/2026 17:00"},
            // Monthly from the 31st, clamped.
            {{Date::Month, false, 1, 0, 0, 0, at(2026, 3, 31, 9, 0)},
             "כל חודש",
             "31/03/2026 09:00, 30/04/2026 09:00, 30/05/2026 09:00, 30/06/2026 09:00, "
             "30/07/2026 09:00"}};
        for (const auto& [entered, period, dates] : rules) {
            const Rule rule = entered;
            const QString expected = period + "\nהמופעים הבאים: " + dates;
            f.reset();
            f = std::make_unique<ManagerFixture>();
            RMain* window = f->open();
            f->click("cmdNew");
            QVERIFY(whileModal([this] { f->click("cmdAdvOpt"); },
                               [&](QWidget* window) {
                                   auto* dialog = qobject_cast<FrmAdvOpt*>(window);
                                   QVERIFY(dialog);
                                   enter(dialog, rule);
                                   QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSave"),
                                                     Qt::LeftButton);
                                   QCOMPARE(preview(dialog), expected);
                               }));
            f->click("cmdNew"); // "שמור כחדש"
            QCOMPARE(preview(window), expected);
            QCOMPARE(period + '\n' + datesTakenByDismissing(CurrentReminderId), expected);
        }
    }

    // The details box of the editor and of the alert: every line against the right edge (within
    // margin and caret), the caret starting at the right.
    void detailsReadFromTheRight()
    {
        const QString text = QStringLiteral("להביא את הדוח הרבעוני\nחדר ישיבות 3");
        const qint32 id = f->add({{"RDetail", text}});
        const auto verifyFromTheRight = [&](QPlainTextEdit* box) {
            QCOMPARE(box->toPlainText(), text);
            const qreal width = box->viewport()->width(),
                        rightEdge = width - box->document()->documentMargin() - 2;
            for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
                box->document()->documentLayout()->blockBoundingRect(b); // lays the block out
                const QRectF drawn = b.layout()->lineAt(0).naturalTextRect();
                QVERIFY2(drawn.left() > width / 2, qPrintable(b.text()));
                QVERIFY2(drawn.right() >= rightEdge, qPrintable(b.text()));
            }
            QVERIFY(box->cursorRect(QTextCursor(box->document())).left() > width / 2);
        };
        verifyFromTheRight(f->open()->findChild<QPlainTextEdit*>(QStringLiteral("CDetail")));
        f->close();
        QPointer<Remind> alert = new Remind;
        alert->RLoad(id);
        verifyFromTheRight(alert->findChild<QPlainTextEdit*>(QStringLiteral("CDetail")));
        alert->close();
        QTRY_VERIFY(alert.isNull());
    }

    // Typed one character at a time as a Hebrew keyboard sends it, saved (CR LF), reloaded.
    void mixedTextKeepsItsOrderThroughSaveAndReload()
    {
        const QString text =
            QStringLiteral("חדר 3 – Room B, טל' 03-1234567, 12/05/2026\nCall John at 10:30.");
        f->open();
        f->click("cmdNew");
        auto* box = f->find<QPlainTextEdit>("CDetail");
        box->setFocus();
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(box, Qt::Key_Return);
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        f->click("cmdNew"); // "שמור כחדש"
        QCOMPARE(f->row(f->listIds().value(0)).value("RDetail").toString(),
                 QString(text).replace('\n', "\r\n"));
        f->close();
        QCOMPARE(f->open()->findChild<QPlainTextEdit*>("CDetail")->toPlainText(), text);
    }

    // A message box's line that starts in Latin is painted against the right edge too.
    void messageBoxReadsFromTheRight()
    {
        QImage shown;
        const auto ask = [] {
            Prompt::message(nullptr, "התזכורת נמחקה מהרשימה\nRoom B.", "x", Prompt::Buttons::Ok,
                            Prompt::Icon::Critical);
        };
        QVERIFY(whileModal(ask, [&](QWidget* box) {
            shown = box->findChild<QLabel*>("qt_msgbox_label")->grab().toImage();
            qobject_cast<QMessageBox*>(box)->accept();
        }));
        int left = -1, right = -1; // the lower line's painted columns
        for (int x = 0; x < shown.width(); ++x)
            for (int y = shown.height() / 2; y < shown.height(); ++y)
                if (shown.pixel(x, y) != shown.pixel(0, 0))
                    (left < 0 ? left : right) = x;
        QVERIFY(left > shown.width() / 2);
        QVERIFY(right >= shown.width() - 3);
    }

    // Standard buttons read Hebrew and the box shows its title whole; a drop-down list wider
    // than its box opens under the box's right edge.
    void boxesAndListsReadHebrewFromTheRight()
    {
        const QList<std::pair<Prompt::Buttons, QStringList>> cases = {
            {Prompt::Buttons::OkCancel, {"אישור", "ביטול"}},
            {Prompt::Buttons::YesNo, {"כן", "לא"}}};
        for (const auto& [buttons, texts] : cases) {
            QStringList shown;
            int width = 0, titleWidth = 0;
            const auto ask = [buttons] {
                Prompt::message(nullptr, "?", "תזכורון ולטרום - כותרת ארוכה", buttons,
                                Prompt::Icon::Question);
            };
            QVERIFY(whileModal(ask, [&](QWidget* box) {
                for (const QAbstractButton* b : qobject_cast<QMessageBox*>(box)->buttons())
                    shown << b->text();
                width = box->width();
                titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
                qobject_cast<QMessageBox*>(box)->reject();
            }));
            shown.sort();
            QCOMPARE(shown, texts);
            QVERIFY(width > titleWidth + 100);
        }
        auto* box = f->open()->findChild<QComboBox*>("CImportance");
        box->view()->setMinimumWidth(box->width() + 80);
        box->showPopup();
        QWidget* list = box->view()->window();
        QTRY_VERIFY(list->isVisible());
        QCOMPARE(list->geometry().right(), box->mapToGlobal(QPoint(box->width() - 1, 0)).x());
        QCOMPARE(box->view()->layoutDirection(), Qt::RightToLeft);
        box->hidePopup();
    }

    // The keyboard alone: Tab walks the editor and out of the details, changing nothing; an edit
    // switches an inactive one on and locks the list, Escape waits, F12 drops it; Ctrl+N starts a
    // new one at now and its title, F12 drops it too; F9 saves it as "שמור כחדש" does, Ctrl+S
    // saves an edit; Enter presses the focused button; Ctrl+F opens find, above the alerts and
    // blocking this window only, where Enter searches from the first, then on; Escape closes.
    void theKeyboardAloneDoesTheMainTasks()
    {
        const qint32 id = f->add({{"RCaption", "asleep"}, {"RActive", false}, {"RDetail", "a"}});
        f->open();
        caption()->setFocus();
        QStringList walked;
        while (walked.size() < 30 && !walked.contains("cmdNew")) {
            key(Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QVERIFY2(walked.contains("CDetail"), qPrintable(walked.join(' ')));
        QVERIFY2(walked.contains("cmdNew"), qPrintable(walked.join(' ')));
        QVERIFY(!f->window()->inEdit());
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());
        QCOMPARE(f->find<QPlainTextEdit>("CDetail")->toPlainText(), "a");

        QTest::keyClick(caption(), Qt::Key_X);
        QVERIFY(f->window()->inEdit());
        QVERIFY(!f->find<QWidget>("List1")->isEnabled());
        QVERIFY(f->find<QRadioButton>("OptActive_0")->isChecked());
        key(Qt::Key_Escape); // ignored while editing
        key(Qt::Key_F12);
        QCOMPARE(caption()->text(), "asleep");
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());

        for (const bool dropped : {true, false}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget(), caption());
            QCOMPARE(caption()->selectedText(), "תזכורת חדשה");
            QCOMPARE(QDateTime(f->find<QDateEdit>("CDate1")->date(),
                               f->find<QTimeEdit>("CDate2")->time()),
                     QDateTime(QDate(2026, 3, 15), QTime(10, 0)));
            if (dropped) {
                key(Qt::Key_F12);
                QCOMPARE(caption()->text(), "asleep");
            }
        }
        QTest::keyClicks(caption(), "new");
        key(Qt::Key_F9); // as "שמור כחדש"
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->listIds().value(f->selectedRow()), CurrentReminderId);
        QCOMPARE(f->row(CurrentReminderId).value("RCaption").toString(), "new");
        f->window()->ShowIndex(id);
        QTest::keyClicks(caption(), "!");
        QTest::keyClick(caption(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!f->window()->inEdit());
        QCOMPARE(f->row(id).value("RCaption").toString(), "asleep!");

        f->find<QPushButton>("cmdNew")->setFocus();
        key(Qt::Key_Return);
        QVERIFY(f->window()->inEdit());
        key(Qt::Key_F12);
        const auto find = [this] { QTest::keyClick(caption(), Qt::Key_F, Qt::ControlModifier); };
        QVERIFY(whileModal(find, [this](QWidget* dialog) {
            QVERIFY(qobject_cast<RFind*>(dialog));
            QCOMPARE(dialog->windowModality(), Qt::WindowModal);
            QVERIFY(dialog->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
            dialog->findChild<QPushButton*>("cmdFind_0")->setFocus();
            QTest::keyClick(dialog->findChild<QPushButton*>("cmdFind_0"), Qt::Key_Return);
            QCOMPARE(dialog->findChild<QLabel*>("LStatus")->text(), "יש להגדיר מחרוזת לחיפוש");
            auto* text = dialog->findChild<QLineEdit*>("SearchText");
            text->setFocus();
            QTest::keyClicks(text, "*e"); // the list: "new" (due now), then "asleep!"
            for (const char* expected : {"new", "asleep!"}) {
                QTest::keyClick(text, Qt::Key_Return);
                QCOMPARE(caption()->text(), expected);
            }
            dialog->close();
        }));
        QPointer<RMain> window = f->window();
        key(Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
    }

    // The delete confirmation blocks this window only: an alert's "פתח ברשימה" meanwhile
    // waits, the answer deletes the reminder asked about, then the alert's one is selected.
    void aQuestionKeepsItsReminderWhileAnAlertAsksForAnother()
    {
        const qint32 asked = f->add({{"RCaption", "שאלה"}}),
                     other = f->add({{"RCaption", "מההתראה"}, {"RDate", dated(2026, 5, 1, 9)}});
        f->open();
        QVERIFY(whileModal([this] { click("cmdDelete"); },
                           [&](QWidget* box) {
                               QCOMPARE(box->windowModality(), Qt::WindowModal);
                               QVERIFY(f->window()->ShowIndex(other));
                               qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
                           }));
        QCOMPARE(f->row(asked), QVariantMap());
        QCOMPARE(f->row(other).value("RCaption").toString(), "מההתראה");
        QTRY_COMPARE(caption()->text(), "מההתראה");
    }

    // Every unit with a count of one, two and more reads as Hebrew says it, beside the count
    // typed and in the preview.
    void countsOfEveryUnitReadNaturally_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QStringList>("periods"); // of 1, 2 and 5
        const QList<QStringList> units = {
            {"כל דקה", "כל 2 דקות", "כל 5 דקות"},
            {"כל שעה", "כל שעתיים", "כל 5 שעות"},
            {"כל יום", "כל יומיים", "כל 5 ימים"},
            {"כל שבוע", "כל שבועיים", "כל 5 שבועות"},
            {"כל חודש", "כל חודשיים", "כל 5 חודשים"},
            {"כל שנה", "כל שנתיים", "כל 5 שנים"},
            {"כל חודש עברי", "כל חודשיים עבריים", "כל 5 חודשים עבריים"},
            {"כל שנה עברית", "כל שנתיים עבריות", "כל 5 שנים עבריות"}};
        for (int unit = 0; unit < units.size(); ++unit)
            QTest::addRow("%s", qPrintable(units[unit][0])) << unit << units[unit];
    }
    void countsOfEveryUnitReadNaturally()
    {
        QFETCH(int, unit);
        QFETCH(QStringList, periods);
        AdvOptions = newRule();
        openRule();
        c<QComboBox>("AdvEventType")->setCurrentIndex(unit);
        const QList<int> counts = {1, 2, 5};
        for (int i = 0; i < counts.size(); ++i) {
            typeStep(QString::number(counts[i]));
            QCOMPARE(preview(dlg.get()).section('\n', 0, 0), periods[i]);
            const QString word = periods[i].section(' ', i == 0 ? 1 : 2); // past the count
            QCOMPARE(c<QLabel>("LblPeriod")->text(), i == 1 ? periods[2].section(' ', 2) : word);
        }
    }

    // The list tells an advanced reminder's period where its type stands.
    void theListTellsAnAdvancedPeriod()
    {
        f->add({{"REventType", EventAdvanced}, {"Adv_Period", 1}, {"Adv_PeriodN", 2}});
        f->open();
        const QAbstractItemModel* list = f->find<QAbstractItemView>("List1")->model();
        int type = 0;
        while (type < list->columnCount() && list->headerData(type, Qt::Horizontal) != "סוג מופע")
            ++type;
        QCOMPARE(list->index(0, type).data(Qt::ToolTipRole).toString(), "כל שעתיים");
    }

    // A loaded rule saves back unchanged, less an advanced flag its unit cannot have.
    void ruleSavesWhatIsShown()
    {
        AdvancedOptions rule = newRule();
        rule.Adv_DateEnd = Date::fromParts(2026, 12, 31, 18, 45);
        std::tie(rule.Adv_Period, rule.Adv_PeriodN, rule.Adv_WeekDay) = std::tuple(Date::Day, 3, 5);
        std::tie(rule.Adv_MonthDay, rule.Adv_MonthCount, rule.Adv_NoEnd) = std::tuple(8, 4, false);
        AdvOptions = rule;
        openRule();
        key(Qt::Key_F9);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        rule.Adv_AdvOpt = false;
        QCOMPARE(ruleFields(AdvOptions), ruleFields(rule));
    }

    // An unusable step is refused on leaving the box, on "אישור" and on F9; nothing stored.
    void unusableStepIsRefused()
    {
        const AdvancedOptions before = AdvOptions = newRule();
        for (const QString typed : {"abc", "0.5", "40000", "F9 abc", "F9 -2"}) {
            const bool f9 = typed.startsWith("F9 ");
            const qsizetype logBefore = logLines().size();
            Prompt::clearHistory();
            Prompt::setNextAnswer(Prompt::Answer::Ok), Prompt::setNextAnswer(Prompt::Answer::Ok);
            openRule();
            typeStep(typed.mid(f9 ? 3 : 0));
            if (f9) {
                key(Qt::Key_F9);
                if (typed != "F9 abc")
                    verifyRefusalShown(1);
                QCOMPARE(Prompt::history().size(), typed == "F9 abc" ? 0 : 1);
                QCOMPARE(
                    logLines().mid(logBefore).join('\n').contains("Save AdvOpt: Type mismatch"),
                    typed == "F9 abc");
            } else {
                key(Qt::Key_Tab);
                verifyRefusalShown(1);
                QTest::mouseClick(c("cmdSave"), Qt::LeftButton);
                verifyRefusalShown(2);
            }
            QVERIFY(dlg->isVisible());
            key(Qt::Key_F12);
            QCOMPARE(dlg->result(), int(QDialog::Rejected));
            QCOMPARE(ruleFields(AdvOptions), ruleFields(before));
        }
    }
};

QTEST_MAIN(RMainWindowTest)
#include "tst_manager_window.moc"
