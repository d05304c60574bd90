// Deleting from the manager window: the current reminder and the listed set.
#include "ManagerFixture.h"

#include "Prompt.h"

#include <QLineEdit>
#include <QTest>

using Answer = Prompt::Answer;

class RMainDeleteTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;
    QList<qint32> m_sentDeletes;

    // Three one-time reminders listed in this order (by due date).
    QList<qint32> addThree(const QVariantMap& more = {})
    {
        QList<qint32> ids;
        for (int day = 1; day <= 3; ++day) {
            QVariantMap fields{{"RCaption", QStringLiteral("r%1").arg(day)},
                               {"RDate", dated(2026, 4, day)}};
            fields.insert(more);
            ids << f->add(fields);
        }
        return ids;
    }
    void click(const char* name) { f->click(name); }
    QStringList asked() const
    {
        QStringList texts;
        for (const Prompt::Shown& shown : Prompt::history())
            texts << shown.text;
        return texts;
    }

private slots:
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        Prompt::clearHistory();
        m_sentDeletes.clear();
        RMain::setSendDelMsgHook([this](qint32 id) {
            m_sentDeletes << id;
            return true;
        });
    }
    void cleanup()
    {
        f.reset();
        RMain::setSendDelMsgHook(nullptr);
    }

    // The row at the deleted one's place, or the new last, becomes current.
    void deletingTheCurrentKeepsThePosition_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<int>("currentAfter"); // index into the rows added, -1 none
        QTest::newRow("middle") << 3 << 1 << 2;
        QTest::newRow("last") << 3 << 2 << 1;
        QTest::newRow("only") << 1 << 0 << -1;
    }
    void deletingTheCurrentKeepsThePosition()
    {
        QFETCH(int, rows);
        QFETCH(int, deleted);
        QFETCH(int, currentAfter);
        QList<qint32> ids = addThree(); // "r1", "r2", "r3"
        if (rows == 1) {
            f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id <> %1").arg(ids[2]));
            ids = {ids[2]};
        }
        f->open()->ShowIndex(ids[deleted]);
        Prompt::setNextAnswer(Answer::Ok);
        click("cmdDelete");

        QVERIFY(f->row(ids[deleted]).isEmpty());
        QCOMPARE(asked(), QStringList{"אישור מחיקה"});
        QCOMPARE(f->listIds().size(), rows - 1);
        // With no row left the editor keeps what it showed.
        const int shown = currentAfter < 0 ? 2 : currentAfter;
        QCOMPARE(f->find<QLineEdit>("CCaption")->text(), QString("r%1").arg(shown + 1));
        if (currentAfter >= 0)
            QCOMPARE(f->listIds().value(f->selectedRow()), ids[currentAfter]);
        QVERIFY(f->logLines().isEmpty());
    }

    // Answers to "אישור מחיקה" and "האם למחוק ברשת", and what they do.
    void aSharedReminderAsksAboutTheNetwork_data()
    {
        QTest::addColumn<QVariantMap>("fields");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<bool>("sent");
        const QVariantMap mine{{"IAMAuthor", 1}, {"BroadcastId", 77}};
        const QVariantMap wrapped{{"IAMAuthor", 1}, {"BroadcastId", -77}};
        using L = QList<Answer>;
        QTest::newRow("first question cancelled") << mine << L{Answer::Cancel} << false << false;
        QTest::newRow("network: yes") << mine << L{Answer::Ok, Answer::Yes} << true << true;
        QTest::newRow("network: no") << mine << L{Answer::Ok, Answer::No} << true << false;
        QTest::newRow("network: cancel") << mine << L{Answer::Ok, Answer::Cancel} << false << false;
        QTest::newRow("negative identity") << wrapped << L{Answer::Ok, Answer::Yes} << true << true;
        QTest::newRow("received copy")
            << QVariantMap{{"IAMAuthor", 0}, {"BroadcastId", 77}} << L{Answer::Ok} << true << false;
        QTest::newRow("never sent")
            << QVariantMap{{"IAMAuthor", 1}} << L{Answer::Ok} << true << false;
    }
    void aSharedReminderAsksAboutTheNetwork()
    {
        QFETCH(QVariantMap, fields);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, deleted);
        QFETCH(bool, sent);
        const qint32 id = addThree(fields).at(1);
        f->open()->ShowIndex(id);
        for (Answer answer : answers)
            Prompt::setNextAnswer(answer);
        click("cmdDelete");
        QCOMPARE(asked().size(), answers.size());
        if (answers.size() == 2)
            QCOMPARE(asked().at(1), QString("האם למחוק ברשת"));
        QCOMPARE(f->row(id).isEmpty(), deleted);
        QCOMPARE(m_sentDeletes,
                 sent ? QList<qint32>{fields.value("BroadcastId").toInt()} : QList<qint32>{});
    }

    void aRowDeletedMeanwhileIsSkipped()
    {
        const QList<qint32> ids = addThree();
        f->open()->ShowIndex(ids[1]);
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(ids[1]));
        Prompt::setNextAnswer(Answer::Ok);
        click("cmdDelete");
        QCOMPARE(f->listIds(), (QList<qint32>{ids[0], ids[2]}));

        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(ids[0]));
        Prompt::setNextInput(QStringLiteral("כן"));
        click("cmdDeleteAll");
        QCOMPARE(f->rowCount(), 0);
        QVERIFY(f->logLines().isEmpty());
    }

    // Only the exact word deletes; only what the list shows goes, and no
    // deletion is sent over the network.
    void theListedSetGoesOnTheTypedWord()
    {
        const QList<qint32> active = addThree({{"IAMAuthor", 1}, {"BroadcastId", 5}});
        const qint32 inactive = f->add({{"RActive", 0}, {"RDate", dated(2026, 4, 9)}});
        f->open();
        f->click("OptShow_0"); // "פעיל"
        QCOMPARE(f->listIds(), active);
        for (const QString& typed : {QStringLiteral("כן "), QStringLiteral("כ"), QString()}) {
            Prompt::setNextInput(typed);
            click("cmdDeleteAll");
        }
        QCOMPARE(f->rowCount(), 4);
        Prompt::setNextInput(QStringLiteral("כן"));
        click("cmdDeleteAll");
        QCOMPARE(asked().last(), QString("הקלד 'כן' לאישור המחיקה"));
        QCOMPARE(f->rowCount(), 1);
        QVERIFY(!f->row(inactive).isEmpty());
        QVERIFY(f->listIds().isEmpty() && m_sentDeletes.isEmpty());
    }
};

QTEST_MAIN(RMainDeleteTest)
#include "tst_manager_delete.moc"
