#include "common/Ini.h"
#include "common/Log.h"
#include "lan/ProcessLANMsg.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "server/CommandQueue.h"
#include "server/FrmAbout.h"
#include "server/FrmDummy.h"
#include "server/LanMessageSeam.h"
#include "store/ReminderDb.h"
#include "tests/support/LanPeer.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QtTest>

class ServerTest : public QObject
{
    Q_OBJECT
    TempProgramDir m_dir;
    QStringList m_events;
    QList<QUrl> m_opened;

    int logged(const char* text) const { return fileBytes(m_dir.file("Kalvex.log")).count(text); }
    // Queues a command once FrmDummy has unloaded itself, before it is gone.
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DeferredDelete)
            QueueCommand(QStringLiteral("late"));
        return false;
    }

    static FrmAbout* shownBox()
    {
        FrmAbout::showBox();
        FrmAbout* box = FrmAbout::instance();
        return box && QTest::qWaitForWindowExposed(box) ? box : nullptr;
    }

public slots:
    void open(const QUrl& url) { m_opened << url; } // the desktop's mail program and browser

private slots:
    void initTestCase() { StartLogging(QStringLiteral("Kalvex.log")); }
    void init() { MutexWaits = 0, m_events.clear(); }
    void cleanup() { QTRY_COMPARE(PendingCommands(), 0); }

    // Known by 5 characters ("~Updt" publishes, "~Chck" checks) and carried out before the
    // datagrams waiting; a failure stops nothing.
    void commandsRunBeforeWaitingDatagramsKnownByTheirFirstFiveCharacters()
    {
        setLanMessageHandler([this](const QString& text, const QString&) {
            if (text == QLatin1String("bad"))
                throw Failure(QStringLiteral("broken datagram"));
            m_events << "lan " + text + " @" + ReadIni("Reminder", "NextDate", "-");
        });
        for (const char* text : {"first", "~Updt", "~Chck and more", "~chck", "bad", "last"})
            QueueCommand(QString::fromUtf8(text));
        FrmDummy::instance()->installEventFilter(this); // "late" is queued as it unloads
        QTRY_COMPARE(m_events, QStringList({"lan first @NULL", "lan ~chck @NULL", "lan last @NULL",
                                            "lan late @NULL"}));
        QCOMPARE(logged(" -> DrainCommandQueue: broken datagram"), 1);
    }

    // Datagrams are carried out in slices with turns of the event loop between them, and a
    // command queued behind thousands of them waits for no more than the slice under way.
    void datagramsGiveWayToTheEventLoopAndToCommands()
    {
        int turns = 0;
        QTimer loop;
        connect(&loop, &QTimer::timeout, this, [&turns] { ++turns; });
        loop.start(0);
        QList<int> turnOfEach;
        setLanMessageHandler([&](const QString& text, const QString&) {
            turnOfEach << turns;
            m_events << text + " @" + ReadIni("Reminder", "NextDate", "-");
        });
        QList<LanDatagram> datagrams;
        for (int i = 0; i < 3 * kSliceDatagrams; ++i)
            datagrams << LanDatagram{"127.0.0.2", QString::number(i)};
        QueueDatagrams(datagrams);
        QTRY_VERIFY(!m_events.isEmpty());
        QueueCommand(kUpdateCommand);
        QTRY_COMPARE(PendingCommands(), 0);
        QVERIFY(m_events.indexOf(QRegularExpression(".* @NULL")) <= 2 * kSliceDatagrams);
        QVERIFY(QSet<int>(turnOfEach.begin(), turnOfEach.end()).size() >= 3);
    }

    // A batch is done once each of its datagrams was carried out, with its source; past the
    // queue's bound the rest are dropped and counted, and a batch dropped whole is done at once.
    void batchesAreDoneWhenCarriedOutOrDropped()
    {
        QStringList done;
        setLanMessageHandler([this](const QString& text, const QString& source) {
            m_events << source + " " + text;
        });
        QueueDatagrams({{"127.0.0.2", "a"}, {"127.0.0.3", "b"}},
                       [&] { done << QString::number(m_events.size()); });
        QTRY_COMPARE(done, QStringList{"2"});
        QCOMPARE(m_events, QStringList({"127.0.0.2 a", "127.0.0.3 b"}));

        QList<LanDatagram> flood(kMaxWaitingDatagrams + 3, LanDatagram{"127.0.0.9", "x"});
        QueueDatagrams(flood, [&] { done << "flood"; });
        QueueDatagrams({{"127.0.0.8", "late"}}, [&] { done << "late"; });
        QCOMPARE(done, QStringList({"2", "late"}));
        QTRY_COMPARE(done, QStringList({"2", "late", "flood"}));
        QCOMPARE(m_events.size(), 2 + kMaxWaitingDatagrams);
        WriteLogSummary();
        QCOMPARE(logged("LAN: dropped 3 datagrams from 127.0.0.9: Kalvex's queue is full"), 1);
        QCOMPARE(logged("LAN: dropped 1 datagrams from 127.0.0.8: Kalvex's queue is full"), 1);
    }

    // A drain starting in a nested loop while another runs waits for it, up to a limit (logged).
    void aDrainStartingWhileAnotherRunsBacksOffUpToALimit()
    {
        setLanMessageHandler([this](const QString& text, const QString&) {
            m_events << text + " begins";
            if (text.startsWith("outer")) {
                QueueCommand("inner" + text.mid(5));
                QTest::qWaitFor([&] {
                    return text == "outer" ? MutexWaits >= 3 : m_events.contains("inner2 begins");
                });
            }
            m_events << text + " ends";
        });
        QueueCommand(QStringLiteral("outer"));
        QTRY_COMPARE(m_events,
                     QStringList({"outer begins", "outer ends", "inner begins", "inner ends"}));
        QVERIFY(MutexWaits >= 3);
        QVERIFY(MutexWaits < kMaxMutexWaits);
        m_events.clear();
        MutexWaits = kMaxMutexWaits - 3;
        QueueCommand(QStringLiteral("outer2"));
        QTRY_COMPARE(m_events,
                     QStringList({"outer2 begins", "inner2 begins", "inner2 ends", "outer2 ends"}));
        QCOMPARE(MutexWaits, kMaxMutexWaits);
        QCOMPARE(logged(" -> Mutex timed out"), 1);
    }

    // One drain, one commit, no answer before it; a failing command loses only its own copy.
    void datagramsQueuedTogetherAreAnsweredOnlyOnceStored()
    {
        LanPeer peer;
        LANNick = QStringLiteral("beta"), LANOptReceive = true;
        QList<bool> answeredBefore;
        setLanMessageHandler([&](const QString& text, const QString&) {
            answeredBefore << !peer.silent();
            ProcessLANMsg(text);
            if (text.contains(QLatin1String("broken")))
                throw Failure(QStringLiteral("broken datagram"));
        });
        const QString upd =
            "127.0.0.2\tUPD\tALL\t%1\t%2\t051220261430\t0\t5\t\tTrue\t2\t1\tFalse\t0\t0"
            "\t0\t051220261430\tTrue\tpeer\t";
        for (const auto& [id, caption] : {std::pair{1, "one"}, {2, "broken"}, {3, "three"}})
            QueueCommand(upd.arg(id).arg(caption));
        QTRY_COMPARE(PendingCommands(), 0);
        QCOMPARE(answeredBefore, QList<bool>(3, false));
        const QString stored = "SELECT group_concat(BroadcastId || RCaption) FROM "
                               "(SELECT * FROM Main_tbl ORDER BY BroadcastId)";
        QCOMPARE(OpenReminderDb()->scalar(stored).toString(), QStringLiteral("1one,3three"));
        QVERIFY(peer.next().endsWith("\tACK\t1\tbeta\t"));
        QVERIFY(peer.next().endsWith("\tACK\t3\tbeta\t"));
        QVERIFY(peer.silent());
    }

    // The queue keeps running in the nested event loop of a modal box.
    void datagramsAreCarriedOutInOrderWhileAModalBoxIsOpen()
    {
        setLanMessageHandler([this](const QString& text, const QString&) {
            m_events << text + (QApplication::activeModalWidget() ? " under the box" : "");
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
        Prompt::message(nullptr, "הודעה", "Kalvex", Prompt::Buttons::Ok, Prompt::Icon::Information);
        QCOMPARE(m_events,
                 QStringList({"one under the box", "two under the box", "three under the box"}));
    }

    // Only the addresses are links; one box at a time, also while a closed one is going.
    void addressesOpenMailAndWebSiteAndTheSingleBoxCloses()
    {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        FrmAbout* box = shownBox();
        QVERIFY(box);
        QCOMPARE(shownBox(), box);
        for (const char* name : {"LEmail", "LWebsite", "Label1"})
            QTest::mouseClick(box->findChild<QWidget*>(name), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[1].scheme(), "https");
        QCOMPARE(m_opened[0].toString(), "mailto:" + box->findChild<QLabel*>("LEmail")->text());
        QTest::mouseClick(box->findChild<QWidget*>("cmd_Ok"), Qt::LeftButton);
        QPointer<FrmAbout> closed = box;
        box = shownBox();
        QTRY_VERIFY(!closed);
        QVERIFY(box);
        QCOMPARE(FrmAbout::instance(), box);
        QVERIFY(box->isVisible());
        box->close();
    }
};

QTEST_MAIN(ServerTest)
#include "tst_server.moc"
