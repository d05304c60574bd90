#include "Clock.h"
#include "CommandQueue.h"
#include "Database.h"
#include "Failure.h"
#include "FrmDummy.h"
#include "Ini.h"
#include "LanMessageSeam.h"
#include "LanPeer.h"
#include "Log.h"
#include "ProcessLANMsg.h"
#include "ProgramDir.h"
#include "Prompt.h"
#include "ShownAlerts.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QApplication>
#include <QtTest>

#include <memory>

class CommandQueueTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commandsRunInQueueOrderByTheirFirstFiveCharacters();
    void aFailingCommandDoesNotStopTheOnesAfterIt();
    void aDrainStartingWhileAnotherRunsBacksOff();
    void afterTheLastAllowedWaitDrainsLogAndNoLongerBackOff();
    void aCommandQueuedWhileFrmDummyUnloadsIsCarriedOut();
    void datagramsQueuedTogetherAreAnsweredOnlyOnceStored();
    void datagramsAreCarriedOutInOrderWhileAModalBoxIsOpen();

private:
    QStringList logLines() const
    {
        return QString::fromUtf8(fileBytes(m_dir->file("Kalvex.log")))
            .split('\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<TempProgramDir> m_dir;
    QStringList m_events;
};

void CommandQueueTest::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    StartLogging(QStringLiteral("Kalvex.log"));
    Clock::setNow(Date::fromParts(2026, 12, 5, 14, 0));
    MutexWaits = 0;
    m_events.clear();
}

void CommandQueueTest::cleanup()
{
    QTRY_COMPARE(PendingCommands(), 0);
    setLanMessageHandler({});
    setAlertOpener({});
    m_dir.reset();
}

void CommandQueueTest::commandsRunInQueueOrderByTheirFirstFiveCharacters()
{
    auto db = Database::open(ProgramDir::file(QStringLiteral("KV_Data.mdb")));
    const Date due = Date::fromParts(2026, 12, 5, 13, 30);
    db->execute(QStringLiteral(
                    "INSERT INTO Main_tbl (RCaption, RDate, RNext, RActive) VALUES ('a', ?, ?, 1)"),
                {due.serial(), due.serial()});
    const qint32 id = qint32(db->lastInsertId());
    db.reset();

    setAlertOpener(
        [this](qint32 reminderId) { m_events << QStringLiteral("alert %1").arg(reminderId); });
    setLanMessageHandler([this](const QString& text) {
        m_events << QStringLiteral("lan %1 @%2")
                        .arg(text, ReadIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"),
                                           QStringLiteral("-")));
    });
    for (const char* text : {"first", "~Updt", "~Chck and more", "~chck", "~Chc", "last"})
        QueueCommand(QString::fromUtf8(text));
    QCOMPARE(PendingCommands(), 6); // queued only: the call returns before any of it runs
    QVERIFY(m_events.isEmpty());

    QTRY_COMPARE(PendingCommands(), 0);
    QCOMPARE(m_events,
             QStringList({QStringLiteral("lan first @-"), QStringLiteral("alert %1").arg(id),
                          QStringLiteral("lan ~chck @051220261330"),
                          QStringLiteral("lan ~Chc @051220261330"),
                          QStringLiteral("lan last @051220261330")}));
}

void CommandQueueTest::aFailingCommandDoesNotStopTheOnesAfterIt()
{
    setLanMessageHandler([this](const QString& text) {
        if (text == QLatin1String("bad"))
            throw Failure(QStringLiteral("broken datagram"));
        m_events << text;
    });
    QueueCommand(QStringLiteral("bad"));
    QueueCommand(QStringLiteral("good"));
    QTRY_COMPARE(m_events, QStringList{QStringLiteral("good")});
    QVERIFY(logLines().last().endsWith(QLatin1String(" -> DrainCommandQueue: broken datagram")));
}

void CommandQueueTest::aDrainStartingWhileAnotherRunsBacksOff()
{
    setLanMessageHandler([this](const QString& text) {
        m_events << text + QStringLiteral(" begins");
        if (text == QLatin1String("outer")) {
            QueueCommand(QStringLiteral("inner"));
            QTest::qWaitFor([] { return MutexWaits >= 3; }); // a nested loop, as a modal box runs
        }
        m_events << text + QStringLiteral(" ends");
    });
    QueueCommand(QStringLiteral("outer"));
    QTRY_COMPARE(m_events.size(), 4);
    QCOMPARE(m_events, QStringList({QStringLiteral("outer begins"), QStringLiteral("outer ends"),
                                    QStringLiteral("inner begins"), QStringLiteral("inner ends")}));
    QVERIFY(MutexWaits >= 3 && MutexWaits < kMaxMutexWaits);
    QVERIFY(!logLines().join(QLatin1Char('\n')).contains(QLatin1String("Mutex timed out")));
}

void CommandQueueTest::afterTheLastAllowedWaitDrainsLogAndNoLongerBackOff()
{
    MutexWaits = kMaxMutexWaits - 3;
    setLanMessageHandler([this](const QString& text) {
        m_events << text;
        if (text == QLatin1String("outer")) {
            QueueCommand(QStringLiteral("inner"));
            QTest::qWaitFor([this] { return m_events.contains(QStringLiteral("inner")); });
            m_events << QStringLiteral("outer ends");
        }
    });
    QueueCommand(QStringLiteral("outer"));
    QTRY_VERIFY(m_events.contains(QStringLiteral("outer ends")));
    // The waiting drain gave up on the guard and ran inside the busy one.
    QCOMPARE(m_events, QStringList({QStringLiteral("outer"), QStringLiteral("inner"),
                                    QStringLiteral("outer ends")}));
    QCOMPARE(MutexWaits, kMaxMutexWaits);
    QCOMPARE(logLines().filter(QStringLiteral(" -> Mutex timed out")).size(), 1);

    // The count is never reset: every later drain logs the line again.
    QueueCommand(QStringLiteral("later"));
    QTRY_VERIFY(m_events.contains(QStringLiteral("later")));
    QCOMPARE(logLines().filter(QStringLiteral(" -> Mutex timed out")).size(), 2);
}

// Queues a command when the form's deletion is delivered: after it has
// unloaded itself, before it is gone.
class QueueOnDeletion : public QObject
{
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DeferredDelete)
            QueueCommand(QStringLiteral("late"));
        return false;
    }
};

void CommandQueueTest::aCommandQueuedWhileFrmDummyUnloadsIsCarriedOut()
{
    setLanMessageHandler([this](const QString& text) { m_events << text; });
    QueueCommand(QStringLiteral("early"));
    QueueOnDeletion hook;
    FrmDummy::instance()->installEventFilter(&hook);
    QTRY_COMPARE(m_events, QStringList({QStringLiteral("early"), QStringLiteral("late")}));
}

// One drain stores the three copies with one commit: no answer goes out
// before it, and the one whose command fails takes only its own copy and
// answer with it.
void CommandQueueTest::datagramsQueuedTogetherAreAnsweredOnlyOnceStored()
{
    LanPeer peer;
    LANNick = QStringLiteral("beta");
    LANOptReceive = true;
    QList<bool> answeredBefore;
    setLanMessageHandler([&](const QString& text) {
        answeredBefore << !peer.silent();
        ProcessLANMsg(text);
        if (text.contains(QLatin1String("broken")))
            throw Failure(QStringLiteral("broken datagram"));
    });
    const QStringList captions{QStringLiteral("one"), QStringLiteral("broken"),
                               QStringLiteral("three")};
    for (int i = 0; i < captions.size(); ++i)
        QueueCommand(QStringLiteral("127.0.0.2\tUPD\tALL\t%1\t%2\t051220261430\t0\t5\t\tTrue\t2\t1"
                                    "\tFalse\t0\t0\t0\t051220261430\tTrue\tpeer\t")
                         .arg(i + 1)
                         .arg(captions[i]));
    QTRY_COMPARE(PendingCommands(), 0);
    QCOMPARE(answeredBefore, QList<bool>(3, false));
    QCOMPARE(OpenReminderDb()
                 ->scalar(QStringLiteral("SELECT group_concat(BroadcastId || RCaption) FROM "
                                         "(SELECT * FROM Main_tbl ORDER BY BroadcastId)"))
                 .toString(),
             QStringLiteral("1one,3three"));
    for (const char* id : {"1", "3"})
        QVERIFY(peer.next().endsWith(QByteArray("\tACK\t") + id + "\tbeta\t"));
    QVERIFY(peer.silent());
    QCOMPARE(ReadIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"), QString()),
             QStringLiteral("051220261430"));
}

// The queue keeps running in the nested event loop of a modal box.
void CommandQueueTest::datagramsAreCarriedOutInOrderWhileAModalBoxIsOpen()
{
    setLanMessageHandler([this](const QString& text) {
        m_events << text + (QApplication::activeModalWidget() ? QStringLiteral(" under the box")
                                                              : QString());
    });
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [this] {
        QWidget* box = QApplication::activeModalWidget();
        if (box && m_events.isEmpty() && PendingCommands() == 0)
            for (const char* text : {"one", "two", "three"})
                QueueCommand(QString::fromUtf8(text));
        else if (box && m_events.size() == 3)
            box->close();
    });
    poll.start(1);
    Prompt::message(nullptr, QStringLiteral("הודעה"), QStringLiteral("Kalvex"), Prompt::Buttons::Ok,
                    Prompt::Icon::Information);
    QCOMPARE(m_events,
             QStringList({QStringLiteral("one under the box"), QStringLiteral("two under the box"),
                          QStringLiteral("three under the box")}));
}

QTEST_MAIN(CommandQueueTest)
#include "tst_command_queue.moc"
