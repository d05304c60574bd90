// The manager window's list side on a real database file: the lines, their
// order, moving, finding and deleting.
#include "ManagerFixture.h"

#include "LanSettings.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "RFind.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString S(QChar(0x05C3)); // the separator before each column
const QString kRefused = QStringLiteral(": גרסת היישום לא מתאימה לבסיס הנתונים");

// One press of "חפש את הראשון" (first) or "חפש את הבא": what is typed and
// chosen, the status shown and the title of the current reminder after it.
struct Search
{
    bool first;
    QString text;
    int in, by; // in the title (0) or details (1); begins (0), contains (1), whole field (2)
    QString status, current;
};

const QString OK = QStringLiteral("OK"), kNone = QStringLiteral("לא נמצאה התאמה");

using Answer = Prompt::Answer;

} // namespace

class RMainListTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;
    QList<qint32> m_sent; // broadcast ids of the deletions sent over the network

    QColor colour(int header) const
    {
        return f->find<QLabel>(QStringLiteral("ListLabel_%1").arg(header))
            ->palette()
            .color(QPalette::WindowText);
    }
    void refresh() const { QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_F5); }
    // Opens the dialog with the manager window's button, runs the searches
    // inside its modal loop and closes it with "ביטול".
    void run(const QList<Search>& searches)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<RFind*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ran = true;
            for (const Search& s : searches) {
                dialog->findChild<QLineEdit*>("SearchText")->setText(s.text);
                dialog->findChild<QComboBox*>("SearchIn")->setCurrentIndex(s.in);
                dialog->findChild<QComboBox*>("SearchBy")->setCurrentIndex(s.by);
                dialog->findChild<QPushButton*>(s.first ? "cmdFind_0" : "cmdFind_1")->click();
                QCOMPARE(dialog->findChild<QLabel*>("LStatus")->text(), s.status);
                QCOMPARE(f->find<QLineEdit>("CCaption")->text(), s.current);
            }
            dialog->findChild<QPushButton*>("cmdCancel")->click();
        });
        f->find<QToolButton>("cmdFind")->click();
        QVERIFY(ran && !QApplication::activeModalWidget());
    }

private slots:
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        m_sent.clear();
        RMain::setSendDelMsgHook([this](qint32 id) {
            m_sent << id;
            return true;
        });
    }
    void cleanup()
    {
        f.reset();
        RMain::setSendDelMsgHook(nullptr);
    }

    // A date with a tie and a text with a null, ascending then descending,
    // ties in RMain_Id order; the sorting header coloured, the others black.
    // (The lines themselves are the printed list's, which shares their builder.)
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
            auto* label = f->find<QLabel>(QStringLiteral("ListLabel_%1").arg(header));
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(f->listIds(), ascending);
            QCOMPARE(colour(header), QColor(Qt::blue));
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(f->listIds(), descending);
            QCOMPARE(colour(header), QColor(Qt::darkRed));
            QCOMPARE(colour(header == 6 ? 4 : 6), QColor(Qt::black));
        }
    }

    // The filter, the move buttons, a click and F5 keep the counter, the
    // selection and the editor together; F5 follows the current reminder.
    void filterMoveButtonsRefreshAndCounter()
    {
        const qint32 a1 = f->add({{"RCaption", "a1"}, {"RDate", dated(2026, 4, 1)}});
        const qint32 i1 =
            f->add({{"RCaption", "i1"}, {"RDate", dated(2026, 4, 2)}, {"RActive", false}});
        const qint32 a2 = f->add({{"RCaption", "a2"}, {"RDate", dated(2026, 4, 3)}});
        const qint32 a3 = f->add({{"RCaption", "a3"}, {"RDate", dated(2026, 4, 4)}});
        f->open();
        f->click("OptShow_0");
        auto* caption = f->find<QLineEdit>("CCaption");
        // Button, row afterwards: next, last, next at the end, back, first, back at the start.
        for (const auto& [button, row] :
             QList<std::pair<int, int>>{{1, 2}, {0, 3}, {1, 3}, {2, 2}, {3, 1}, {2, 1}}) {
            f->click(QStringLiteral("cmdMoveRS_%1").arg(button));
            QCOMPARE(f->counter(), QStringLiteral(" שורה %1 מתוך 3").arg(row));
            QCOMPARE(f->selectedRow(), row - 1);
            QCOMPARE(caption->text(), QStringLiteral("a%1").arg(row));
        }
        f->click("cmdMoveRS_0");

        // Another process adds an earlier reminder and removes one.
        const qint32 a0 = f->add({{"RCaption", "a0"}, {"RDate", dated(2026, 3, 31)}});
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(a1));
        refresh();
        QCOMPARE(f->listIds(), (QList<qint32>{a0, a2, a3}));
        QCOMPARE(f->counter(), QStringLiteral(" שורה 3 מתוך 3"));
        QCOMPARE(CurrentReminderId, a3);

        f->click("OptShow_1");
        QCOMPARE(f->listIds(), QList<qint32>{i1});
    }

    // ShowList and the alert's "פתח ברשימה" come here: the filter may hide the
    // reminder, the alert may just have moved it on, the user may be editing.
    void showIndexShowsTheStoredRowAndKeepsAnEdit()
    {
        const qint32 a = f->add({{"RCaption", "a"}, {"RDate", dated(2026, 4, 1, 9)}});
        const qint32 asleep =
            f->add({{"RCaption", "asleep"}, {"RDate", dated(2026, 4, 5)}, {"RActive", false}});
        RMain* w = f->open();
        f->click("OptShow_0");
        w->ShowIndex(asleep);
        QVERIFY(f->find<QRadioButton>("OptShow_2")->isChecked());
        QCOMPARE(f->listIds().at(f->selectedRow()), asleep);
        auto* caption = f->find<QLineEdit>("CCaption");
        QCOMPARE(caption->text(), QStringLiteral("asleep"));
        w->ShowIndex(9999);
        QVERIFY(logLines().last().endsWith(QStringLiteral("ShowIndex: No current record.")));

        f->sql(QStringLiteral("UPDATE Main_tbl SET RDate = RDate + 1, RNext = RDate + 1 "
                              "WHERE RMain_Id = %1")
                   .arg(a));
        w->ShowIndex(a);
        QVERIFY(f->listLines().first().startsWith(QStringLiteral("02/04/2026 09:00")));
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 4, 2));
        caption->setText(QStringLiteral("a edited"));
        w->ShowIndex(asleep);
        QCOMPARE(caption->text(), QStringLiteral("a edited"));
        QCOMPARE(f->listIds().at(f->selectedRow()), a);
    }

    // The check runs once per window load: a database a newer program marked
    // meanwhile is refused from the next load on, and nothing is saved into it.
    void newerDatabaseIsRefusedFromTheNextLoad()
    {
        f->add({});
        f->open();
        f->sql(QStringLiteral("PRAGMA user_version = 210"));
        f->click("ListLabel_0");
        refresh();
        QCOMPARE(f->listIds().size(), 1);
        f->close();
        f->open();
        QVERIFY(f->listIds().isEmpty());
        QCOMPARE(f->window()->sortField(), QStringLiteral("RDate")); // state afresh
        f->click("cmdNew");
        f->click("cmdNew");
        QCOMPARE(f->rowCount(), 1);
        QCOMPARE(logLines().size(), 2);
        QVERIFY(logLines()[0].endsWith("LoadData" + kRefused));
        QVERIFY(logLines()[1].endsWith("Save" + kRefused));
    }

    void copyListPutsTheListedRowsOnTheClipboard()
    {
        f->add({{"RCaption", "a long caption of more than sixteen"},
                {"RDetail", "א\r\nב\r\n"},
                {"RAuthor", "dana"},
                {"RDate", dated(2026, 4, 1, 9, 30)},
                {"RDate0", dated(2026, 3, 15)}});
        f->open();
        f->find<QAction>("mnu_CopyList")->trigger();
        // clang-format off
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(
            "תאריך יעד\tתאריך רישום\tהכותרת\tחשיבות\tסוג מופע\tמחבר\tפעיל\tפרטים"
            "\r\n01/04/2026 09:30\t15/03/2026\ta long caption of more than sixteen\tרגילה\t"
            "חד-פעמי\tdana\tכן\tא\r\n\t\t\t\t\t\t\tב\r\n\t\t\t\t\t\t\t"));
        // clang-format on
        QVERIFY(logLines().isEmpty());
    }

    // By id, on "אישור מחיקה": the row at the deleted one's place, or the new
    // last, becomes current; with no row left the editor keeps what it showed.
    void deletingTheCurrentKeepsThePosition()
    {
        QList<qint32> ids;
        for (int day = 1; day <= 4; ++day)
            ids << f->add({{"RCaption", QString("r%1").arg(day)}, {"RDate", dated(2026, 4, day)}});
        RMain* w = f->open();
        // Deleted, current afterwards (-1: none left).
        for (const auto& [deleted, current] :
             QList<std::pair<int, int>>{{1, 2}, {3, 2}, {2, 0}, {0, -1}}) {
            w->ShowIndex(ids[deleted]);
            Prompt::setNextAnswer(Answer::Ok);
            f->click("cmdDelete");
            QVERIFY(f->row(ids[deleted]).isEmpty());
            QCOMPARE(f->listIds().value(f->selectedRow(), -1), ids.value(current, -1));
        }
        QCOMPARE(f->find<QLineEdit>("CCaption")->text(), QStringLiteral("r1"));
        QCOMPARE(Prompt::history().size(), 4);
        QCOMPARE(Prompt::history().last().text, QString("אישור מחיקה"));
        QVERIFY(logLines().isEmpty());
    }

    // A reminder this user sent also asks "האם למחוק ברשת": "כן" sends its
    // broadcast id, negative ones included, "ביטול" keeps it; a received copy
    // is not asked about ("לא" is shown end to end).
    void aSharedReminderAsksAboutTheNetwork()
    {
        // Fields, answers, deleted, id sent (0: none).
        const QList<std::tuple<QVariantMap, QList<Answer>, bool, qint32>> cases = {
            {{{"IAMAuthor", 1}, {"BroadcastId", -77}}, {Answer::Ok, Answer::Yes}, true, -77},
            {{{"IAMAuthor", 1}, {"BroadcastId", 77}}, {Answer::Ok, Answer::Cancel}, false, 0},
            {{{"IAMAuthor", 0}, {"BroadcastId", 77}}, {Answer::Ok}, true, 0}}; // a received copy
        QList<qint32> ids;
        for (const auto& c : cases)
            ids << f->add(std::get<0>(c));
        RMain* w = f->open();
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const auto& [fields, answers, deleted, sent] = cases[i];
            Prompt::clearHistory();
            m_sent.clear();
            w->ShowIndex(ids[i]);
            for (Answer answer : answers)
                Prompt::setNextAnswer(answer);
            f->click("cmdDelete");
            QCOMPARE(Prompt::history().size(), answers.size());
            QCOMPARE(Prompt::history().last().text,
                     answers.size() == 2 ? "האם למחוק ברשת" : "אישור מחיקה");
            QCOMPARE(f->row(ids[i]).isEmpty(), deleted);
            QCOMPARE(m_sent, sent ? QList<qint32>{sent} : QList<qint32>{});
        }
    }

    // Only the exact typed word deletes, only what the list shows, and no
    // deletion is sent over the network; rows deleted meanwhile are skipped.
    void theListedSetGoesOnTheTypedWord()
    {
        QList<qint32> active;
        for (int day = 1; day <= 3; ++day)
            active << f->add(
                {{"IAMAuthor", 1}, {"BroadcastId", 5}, {"RDate", dated(2026, 4, day)}});
        const qint32 inactive = f->add({{"RActive", 0}, {"RDate", dated(2026, 4, 9)}});
        f->open();
        f->click("OptShow_0"); // "פעיל"
        for (const QString& typed : {QStringLiteral("כן "), QStringLiteral("כ"), QString()}) {
            Prompt::setNextInput(typed);
            f->click("cmdDeleteAll");
        }
        QCOMPARE(f->rowCount(), 4);
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(active[0]));
        Prompt::setNextInput(QStringLiteral("כן"));
        f->click("cmdDeleteAll");
        QCOMPARE(Prompt::history().last().text, QString("הקלד 'כן' לאישור המחיקה"));
        QCOMPARE(f->rowCount(), 1);
        QVERIFY(!f->row(inactive).isEmpty());
        QVERIFY(f->listIds().isEmpty() && m_sent.isEmpty() && logLines().isEmpty());
    }

    // In the list's order with the engine's patterns, letters in any case.
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
        f->click(QStringLiteral("cmdRefresh"));
        // clang-format off
        run({
            {true, "ALPHA", 0, 0, OK, "Alpha meeting"},
            {false, "alpha", 0, 0, OK, "alpha 2"},               // next, in list order
            {false, "alpha", 0, 0, kNone, "alpha 2"},            // no wrap; the last match stays
            {true, "*meet", 0, 0, OK, "Alpha meeting"},          // the engine's pattern characters
            {true, "[[]draft]", 0, 0, OK, "[draft] plan"},
            {true, "say \"", 0, 0, "שגיאה", "[draft] plan"},      // a double quote
            {true, "עם", 0, 0, kNone, "[draft] plan"},           // begins with
            {true, "עם", 0, 1, OK, "פגישה עם דנה"},              // contains
            {true, "second line", 1, 1, OK, "Alpha meeting"},    // in a further line of the details
            {true, "ALPHA", 1, 2, OK, "Report 100%"},            // the whole field
            {false, "*", 1, 1, OK, "say \"hi\""},                // null details match nothing
        });
        // clang-format on

        // Only what the list shows, in its order: active ones, latest first.
        f->click(QStringLiteral("OptShow_0"));
        f->click(QStringLiteral("ListLabel_1"));
        run({{true, "*a", 0, 1, OK, "say \"hi\""}, {false, "alpha", 0, 0, OK, "Alpha meeting"}});
    }
};

QTEST_MAIN(RMainListTest)
#include "tst_manager_list.moc"
