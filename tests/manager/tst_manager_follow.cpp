// The manager window follows what is stored: changes made through other connections show in
// place, an edit is never touched by them, and nothing the user typed is dropped or saved over
// someone else's change without a word. An edit a close from outside interrupts comes back at
// the next opening, on the user's word; a draft the editor did not write is ignored.
#include "tests/support/ManagerFixture.h"

#include "manager/EditDraft.h"
#include "manager/ManagerState.h"
#include "platform/ui/Prompt.h"
#include "store/LanSettings.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"

#include <QtTest/qtestspontaneevent.h>
#include <QtTest>
#include <QtWidgets>

namespace {

using Answer = Prompt::Answer;

const QString kLeaveQuestion = "השינויים בתזכורת לא נשמרו. לשמור אותם?";
const QString kDeletedQuestion = "התזכורת נמחקה בינתיים. לשמור אותה כתזכורת חדשה?";
const QString kChangedQuestion = "התזכורת שונתה בינתיים. לשמור את השינויים במקומה?";

// The window manager's close button: a spontaneous close event to the native window.
void closeBox(QWidget* window)
{
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::sendEvent(window->windowHandle(), &event);
}

QString lastPrompt()
{
    return Prompt::history().isEmpty() ? QString() : Prompt::history().constLast().text;
}

// A draft as the editor writes it, with the given RMain_Id (a JSON value) and details.
QByteArray draftText(const QString& id, const QString& detail)
{
    return QString(R"({"RMain_Id":%1,"RCaption":"x","RDetail":"%2","RDate":46000,)"
                   R"("RImportance":0,"REventType":0,"RActive":true,"Adv_AdvOpt":true,)"
                   R"("Adv_Period":3,"Adv_PeriodN":1,"Adv_WeekDay":0,"Adv_MonthDay":1,)"
                   R"("Adv_MonthCount":0,"Adv_DateEnd":null,"Adv_NoEnd":true,"Adv_HebrewMonth":0,)"
                   R"("Adv_HebrewDay":0,"Adv_SkipDaysOff":false,"SentTo":""})")
        .arg(id, detail)
        .toUtf8();
}

} // namespace

class RMainFollowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    QLineEdit* caption() const { return f->find<QLineEdit>("CCaption"); }
    QString storedCaption(qint32 id) const { return f->row(id).value("RCaption").toString(); }
    qint32 currentId() const { return f->listIds().value(f->selectedRow(), -1); }
    void sql(const QString& statement, qint32 id) const { f->sql(statement.arg(id)); }
    // The window opened on a reminder, its title typed over.
    qint32 editing(const QString& typed = "mine")
    {
        const qint32 id = f->add({{"RCaption", "stored"}});
        f->open()->ShowIndex(id);
        caption()->setText(typed);
        return id;
    }
    void waitForARefresh(int before) const
    {
        QTRY_VERIFY_WITH_TIMEOUT(RMain::listRefreshes() > before, 5000);
    }
    // The close the tray's exit and the end of the session send.
    void closeFromOutside()
    {
        f->window()->close();
        QTRY_VERIFY(!RMain::instance());
    }
    void reopen(Answer answer)
    {
        Prompt::setNextAnswer(answer);
        f->open();
        QTRY_COMPARE(Prompt::history().size(), 1);
    }

private slots:
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        RMain::setLanWindows({});
    }
    void cleanup()
    {
        f.reset();
        QVERIFY(!ReminderChanges::isWatching()); // nothing left to poll once the window is gone
    }

    // Rows added and deleted through another connection show in place: filter, sort, current
    // reminder (or the row that takes its place) and scroll position stay.
    void theListFollowsOtherConnectionsInPlace()
    {
        QList<qint32> ids;
        for (int i = 0; i < 60; ++i)
            ids << f->add({{"RCaption", QString("r%1").arg(i, 2, 10, QChar('0'))},
                           {"RDate", dated(2026, 4, 1 + i / 24, i % 24)}});
        RMain* w = f->open();
        QVERIFY(ReminderChanges::isWatching());
        w->ShowIndex(ids[40]);
        QScrollBar* scroll = f->find<QAbstractItemView>("List1")->verticalScrollBar();
        QVERIFY(scroll->value() > 0);

        // A row landing above moves the reminder down a row; it stays current, not the row.
        const qint32 added = f->add({{"RCaption", "new"}, {"RDate", dated(2026, 3, 20)}});
        QTRY_VERIFY(f->listIds().contains(added));
        QCOMPARE(currentId(), ids[40]);
        const int scrolled = scroll->value(); // as far as keeps the current row in sight
        sql("DELETE FROM Main_tbl WHERE RMain_Id = %1", ids[1]);
        QTRY_VERIFY(!f->listIds().contains(ids[1]));
        QCOMPARE(currentId(), ids[40]);
        QCOMPARE(scroll->value(), scrolled);
        QCOMPARE(f->counter(), " שורה 41 מתוך 60");

        sql("DELETE FROM Main_tbl WHERE RMain_Id = %1", ids[40]);
        QTRY_VERIFY(!f->listIds().contains(ids[40]));
        QCOMPARE(currentId(), ids[41]);
        QCOMPARE(caption()->text(), "r41");

        // Sorted by title, active only: a new active row lands in its place, an inactive one not.
        f->click("OptShow_0");
        f->clickHeader(0);
        const qint32 first = f->add({{"RCaption", "a first"}});
        const qint32 inactive = f->add({{"RCaption", "a hidden"}, {"RActive", false}});
        QTRY_COMPARE(f->listIds().value(0), first);
        QVERIFY(!f->listIds().contains(inactive));
        QCOMPARE(w->sortField(), "RCaption");
        QCOMPARE(w->showFilter(), 0);
    }

    // Writes of this process raise the notice themselves, as many as there are: one refresh.
    void aBurstOfWritesIsOneRefresh()
    {
        f->add({});
        f->open();
        const int before = RMain::listRefreshes();
        for (int i = 0; i < 1000; ++i)
            ReminderChanges::raise();
        waitForARefresh(before);
        QTest::qWait(3 * RMain::kFollowGapMs); // any further refresh would come within this
        QCOMPARE(RMain::listRefreshes() - before, 1);
    }

    // Under an edit the status line says what became of its reminder; the edit stays as typed.
    void anEditNotesWhatBecameOfItsReminder()
    {
        const QList<std::pair<QString, QString>> cases = {
            {"UPDATE Main_tbl SET RCaption = 'theirs' WHERE RMain_Id = %1", RMain::kEditedChanged},
            {"UPDATE Main_tbl SET RNext = RNext + 1 WHERE RMain_Id = %1", RMain::kEditedChanged},
            {"UPDATE Main_tbl SET ReceivedBy = 'b' || char(13) WHERE RMain_Id = %1", " עריכה"},
            {"DELETE FROM Main_tbl WHERE RMain_Id = %1", RMain::kEditedDeleted}};
        for (const auto& [change, noted] : cases) {
            const qint32 id = editing();
            const int before = RMain::listRefreshes();
            sql(change, id);
            waitForARefresh(before);
            QCOMPARE(f->find<QLabel>("LStatus")->text(), noted);
            QCOMPARE(caption()->text(), "mine");
            QVERIFY(f->window()->inEdit());
            f->close();
        }
    }

    // Saving over a deletion or a change made meanwhile asks first, No being the default; "no"
    // writes nothing and keeps the edit.
    void savingOverAChangeMadeMeanwhileAsks()
    {
        struct Case
        {
            QString change, question;
            Answer answer;
            int rows;
            QString stored;
        };
        const QString update = "UPDATE Main_tbl SET RCaption = 'theirs' WHERE RMain_Id = %1";
        const QString remove = "DELETE FROM Main_tbl WHERE RMain_Id = %1";
        const QList<Case> cases = {{remove, kDeletedQuestion, Answer::No, 0, ""},
                                   {remove, kDeletedQuestion, Answer::Yes, 1, "mine"},
                                   {update, kChangedQuestion, Answer::No, 1, "theirs"},
                                   {update, kChangedQuestion, Answer::Yes, 1, "mine"}};
        for (const Case& c : cases) {
            f->sql("DELETE FROM Main_tbl");
            Prompt::clearHistory();
            sql(c.change, editing());
            Prompt::setNextAnswer(c.answer);
            f->click("cmdSave"); // before the window heard of the change
            QCOMPARE(lastPrompt(), c.question);
            QCOMPARE(Prompt::history().constLast().defaultAnswer, std::optional(Answer::No));
            QCOMPARE(f->rowCount(), c.rows);
            QCOMPARE(OpenReminderDb()->scalar("SELECT RCaption FROM Main_tbl").toString(),
                     c.stored);
            QCOMPARE(f->window()->inEdit(), c.answer == Answer::No);
            f->close();
        }
    }

    // Moving on, filtering, deleting from the menu or closing asks about an edit: Yes saves,
    // No drops, Cancel stays. A close request from outside never asks and drops it.
    void leavingAnEditAsks()
    {
        struct Case
        {
            QString action;
            Answer answer;
            QString stored; // the edited reminder's title afterwards
            bool stays;     // still in the edit
        };
        const QList<Case> cases = {{"cmdMoveRS_1", Answer::Cancel, "stored", true},
                                   {"cmdMoveRS_1", Answer::No, "stored", false},
                                   {"cmdMoveRS_1", Answer::Yes, "mine", false},
                                   {"OptShow_1", Answer::Cancel, "stored", true},
                                   {"OptShow_1", Answer::Yes, "mine", false},
                                   {"mnu_DeleteCurrent", Answer::Cancel, "stored", true},
                                   {"cmdExit", Answer::Cancel, "stored", true},
                                   {"close box", Answer::Yes, "mine", false}};
        for (const Case& c : cases) {
            Prompt::clearHistory();
            f->add({{"RCaption", "other"}, {"RDate", dated(2026, 5, 1)}});
            const qint32 id = editing();
            Prompt::setNextAnswer(c.answer);
            if (c.action == "close box")
                closeBox(f->window());
            else if (c.action.startsWith("mnu_"))
                f->find<QAction>(c.action)->trigger();
            else
                f->click(c.action);
            QCOMPARE(lastPrompt(), kLeaveQuestion);
            QCOMPARE(storedCaption(id), c.stored);
            if (c.stays) {
                QCOMPARE(caption()->text(), "mine");
                QVERIFY(f->find<QRadioButton>("OptShow_2")->isChecked());
                QVERIFY(f->window()->inEdit());
            } else if (f->window()) {
                QVERIFY(!f->window()->inEdit());
            }
            f->close();
            f->sql("DELETE FROM Main_tbl");
        }
        Prompt::clearHistory();
        const qint32 id = editing();
        f->window()->close(); // as WindowDirectory's Close() and the end of the session do
        QTRY_VERIFY(!RMain::instance());
        QVERIFY(Prompt::history().isEmpty());
        QCOMPARE(storedCaption(id), "stored");
    }

    // Copying, printing and finding read what is stored at that moment, not yet followed or not.
    void copyAndFindActOnTheListAsStored()
    {
        f->add({{"RCaption", "old"}});
        RMain* w = f->open();
        const qint32 added = f->add({{"RCaption", "zzz"}, {"RDate", dated(2026, 5, 1)}});
        f->find<QAction>("mnu_CopyList")->trigger();
        QVERIFY(QGuiApplication::clipboard()->text().contains("\tzzz\t"));
        f->add({{"RCaption", "yyy"}});
        QCOMPARE(w->MyFind(true, "yyy", 0, 0), "OK");
        QCOMPARE(caption()->text(), "yyy");
        QVERIFY(f->listIds().contains(added));
    }

    // A reminder gone is no failure: the list shows as stored, its current reminder kept.
    void showingAReminderThatIsGone()
    {
        const qint32 kept = f->add({{"RCaption", "kept"}});
        const qint32 gone = f->add({{"RCaption", "gone"}, {"RActive", false}});
        RMain* w = f->open();
        w->ShowIndex(kept);
        f->click("OptShow_0");
        sql("DELETE FROM Main_tbl WHERE RMain_Id = %1", gone);
        QVERIFY(!w->ShowIndex(gone));
        QCOMPARE(w->showFilter(), 0); // not switched for nothing
        QCOMPARE(currentId(), kept);
        QVERIFY(logLines().isEmpty());
        Prompt::setNextAnswer(Answer::Ok);
        w->TellNotStored();
        QCOMPARE(lastPrompt(), "התזכורת נמחקה ואינה ברשימה עוד.");
    }

    // Typed into a stored reminder or a new one, closed from outside, opened again; a draft of a
    // reminder deleted meanwhile comes back as a new one.
    void anInterruptedEditIsOfferedBack_data()
    {
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("stored, restored") << false << false << Answer::Yes;
        QTest::newRow("stored, dropped") << false << false << Answer::No;
        QTest::newRow("new, restored") << true << false << Answer::Yes;
        QTest::newRow("new, dropped") << true << false << Answer::No;
        QTest::newRow("deleted meanwhile, restored") << false << true << Answer::Yes;
    }
    void anInterruptedEditIsOfferedBack()
    {
        QFETCH(bool, isNew);
        QFETCH(bool, deleted);
        QFETCH(Answer, answer);
        const qint32 id = f->add({{"RCaption", "stored"}});
        f->open()->ShowIndex(id);
        if (isNew)
            f->click("cmdNew");
        caption()->setText("mine");
        f->find<QPlainTextEdit>("CDetail")->setPlainText("typed\nhere");
        closeFromOutside();
        QVERIFY(Prompt::history().isEmpty()); // nothing waited on the user
        QVERIFY(QFile::exists(editDraftPath()));
        if (deleted)
            f->sql(QString("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(id));

        reopen(answer);
        QCOMPARE(Prompt::history().constFirst().text,
                 "נמצאה עריכה שלא נשמרה של התזכורת \"mine\": לשחזר?");
        QVERIFY(!QFile::exists(editDraftPath())); // offered once
        const bool restored = answer == Answer::Yes;
        QCOMPARE(caption()->text(), restored ? "mine" : "stored");
        QCOMPARE(f->find<QPlainTextEdit>("CDetail")->toPlainText(), restored ? "typed\nhere" : "");
        QCOMPARE(f->window()->inEdit(), restored);
        QCOMPARE(f->find<QPushButton>("cmdSave")->isVisible(), restored && !isNew && !deleted);
        QCOMPARE(f->rowCount(), deleted ? 0 : 1); // the user saves it, not the opening
        if (!deleted)
            QCOMPARE(storedCaption(id), "stored");
        if (restored)
            return;
        closeFromOutside(); // nothing typed since: nothing kept
        QVERIFY(!QFile::exists(editDraftPath()));
    }

    // The rule, the due time and the audience come back as they were typed.
    void aDraftKeepsEveryFieldOfTheEditor()
    {
        const qint32 id = f->add({{"RCaption", "stored"},
                                  {"REventType", EventHebrewYearly},
                                  {"Adv_HebrewMonth", 1},
                                  {"Adv_HebrewDay", 30},
                                  {"Adv_SkipDaysOff", 1}});
        f->open()->ShowIndex(id);
        caption()->setText("mine");
        f->find<QDateEdit>("CDate1")->setDate(QDate(2026, 6, 7));
        f->find<QTimeEdit>("CDate2")->setTime(QTime(8, 45));
        f->find<QComboBox>("CImportance")->setCurrentIndex(2);
        f->find<QRadioButton>("OptActive_1")->setChecked(true);
        f->find<QRadioButton>("OptSend_1")->click();
        closeFromOutside();

        reopen(Answer::Yes);
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 6, 7));
        QCOMPARE(f->find<QTimeEdit>("CDate2")->time(), QTime(8, 45));
        QCOMPARE(f->find<QComboBox>("CImportance")->currentIndex(), 2);
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());
        QVERIFY(f->find<QRadioButton>("OptSend_1")->isChecked());
        QVERIFY(f->find<QCheckBox>("LANSend")->isChecked());
        QCOMPARE(int(AdvOptions.Adv_HebrewMonth), 1);
        QCOMPARE(int(AdvOptions.Adv_HebrewDay), 30);
        QVERIFY(AdvOptions.Adv_SkipDaysOff);
    }

    // A damaged or oversized file is not offered, is removed, and says why in the log.
    void aDraftTheEditorDidNotWriteIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("logged");
        QTest::newRow("not json") << QByteArray("{\"RCaption\": \"x\"")
                                  << "EditDraft: damaged draft";
        QTest::newRow("a field missing")
            << QByteArray("{\"RMain_Id\": 0}") << "EditDraft: damaged draft: no RCaption";
        QTest::newRow("a text for a number") << draftText("\"x\"", "x") << "EditDraft: ";
        QTest::newRow("oversized")
            << draftText("0", QString(kMaxDraftBytes, 'x')) << "EditDraft: draft of ";
    }
    void aDraftTheEditorDidNotWriteIsIgnored()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, logged);
        QFile file(editDraftPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        f->open();
        QTRY_VERIFY(!QFile::exists(editDraftPath()));
        QVERIFY(Prompt::history().isEmpty());
        QVERIFY(!f->window()->inEdit());
        QCOMPARE(logLines().size(), 1);
        QVERIFY2(logLines().constFirst().contains(logged), qPrintable(logLines().constFirst()));
    }
};

QTEST_MAIN(RMainFollowTest)
#include "tst_manager_follow.moc"
