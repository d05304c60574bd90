// An edit a close from outside interrupts comes back at the next opening, on the user's word;
// nothing waits on the user at the close, and a draft the editor did not write is ignored.
#include "tests/support/ManagerFixture.h"

#include "manager/EditDraft.h"
#include "manager/ManagerState.h"
#include "platform/ui/Prompt.h"
#include "store/Database.h"
#include "store/Reminder.h"

#include <QtTest>
#include <QtWidgets>

namespace {

using Answer = Prompt::Answer;

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

class RMainDraftTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    QLineEdit* caption() const { return f->find<QLineEdit>("CCaption"); }
    QString detail() const { return f->find<QPlainTextEdit>("CDetail")->toPlainText(); }
    QString storedCaption(qint32 id) const { return f->row(id).value("RCaption").toString(); }
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
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

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
        QCOMPARE(detail(), restored ? "typed\nhere" : "");
        QCOMPARE(f->window()->inEdit(), restored);
        QCOMPARE(f->find<QPushButton>("cmdSave")->isVisible(), restored && !isNew && !deleted);
        QCOMPARE(f->rowCount(), deleted ? 0 : 1); // the user saves it, not the opening
        if (!deleted)
            QCOMPARE(storedCaption(id), "stored");
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

    // Nothing typed, nothing kept.
    void aCloseWithoutAnEditKeepsNoDraft()
    {
        f->add({});
        f->open();
        closeFromOutside();
        QVERIFY(!QFile::exists(editDraftPath()));
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

QTEST_MAIN(RMainDraftTest)
#include "tst_manager_draft.moc"
