// The tray monitor in process: main form, icon, ticks, precise wake-up, calls into Kalvex.
#include "common/Ini.h"
#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "platform/Clock.h"
#include "platform/WallClockWatch.h"
#include "platform/ui/Prompt.h"
#include "tests/support/SigningPeer.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"
#include "tray/ArrivalNotices.h"
#include "tray/FrmMain.h"
#include "tray/KalvexClient.h"
#include "tray/LanAnnounce.h"
#include "tray/LanHandOver.h"
#include "tray/LanSwitches.h"
#include "tray/OpenAlerts.h"
#include "tray/ProgramEnd.h"
#include "tray/RelayMemory.h"
#include "tray/SenderRates.h"
#include "tray/TrayHost.h"
#include "tray/frmWinSock.h"
#include "tray/modMain.h"
#include "trust/ColleagueKeys.h"
#include "trust/TrustFiles.h"

#include <QAction>
#include <QDBusServer>
#include <QDBusVirtualObject>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <atomic>
#include <optional>

namespace {

// Kalvex as the tray monitor sees it, recording every call: what the generated proxy sends,
// received and answered by a peer of this process.
struct FakeKalvex : QDBusVirtualObject, KalvexClient
{
    QStringList calls; // the methods called
    int notCreatedLeft = 0;
    // With holdPosts, a posted call ends only when the test ends it (endHeld()).
    bool holdPosts = false;
    QList<std::function<void(bool)>> held; // ends a held call, failed or not
    QList<qsizetype> batches;              // the sizes of the batches handed over

    void post(const KalvexCall& method, const std::function<void(const QString&)>& onFailure,
              const std::function<void()>& onEnd) override
    {
        const QDBusMessage call = sent(method);
        batches << qdbus_cast<QList<LanDatagram>>(call.arguments().value(0)).size();
        if (holdPosts) {
            calls << call.member();
            held << [onFailure, onEnd](bool failed) {
                if (failed)
                    onFailure(QStringLiteral("Kalvex did not answer"));
                if (onEnd)
                    onEnd();
            };
            return;
        }
        try {
            answer(call);
        } catch (const std::exception& e) {
            onFailure(describe(e));
        }
        if (onEnd)
            onEnd();
    }
    void endHeld(bool failed = false) { held.takeFirst()(failed); }

    void call(const KalvexCall& method) override { answer(sent(method)); }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        m_received = message;
        connection.send(message.createReply());
        return true;
    }

private:
    void answer(const QDBusMessage& call)
    {
        calls << call.member();
        if (notCreatedLeft > 0 && notCreatedLeft--)
            throw NotCreated(
                QStringLiteral("The name Kalvex.KVClass was not provided by any .service files"));
    }

    QDBusMessage sent(const KalvexCall& method)
    {
        if (!m_proxy)
            connectPeer();
        m_received.reset();
        method(*m_proxy);
        if (!QTest::qWaitFor([this] { return m_received.has_value(); }))
            return {};
        return *m_received;
    }
    void connectPeer()
    {
        QObject::connect(
            &m_server, &QDBusServer::newConnection, &m_server,
            [this](const QDBusConnection& connection) {
                QDBusConnection(connection).registerVirtualObject(KalvexBus::objectPath, this);
                m_accepted = true;
            },
            Qt::DirectConnection);
        const QDBusConnection peer =
            QDBusConnection::connectToPeer(m_server.address(), QStringLiteral("fake Kalvex"));
        QVERIFY(QTest::qWaitFor([this] { return m_accepted.load(); }));
        m_proxy = std::make_unique<KalvexKVClassInterface>(KalvexBus::serviceName,
                                                           KalvexBus::objectPath, peer);
    }

    QDBusServer m_server;
    std::optional<QDBusMessage> m_received;
    std::atomic<bool> m_accepted = false;
    std::unique_ptr<KalvexKVClassInterface> m_proxy;
};

// The clock face's colour, away from the hands and marks.
QString faceOf(FrmMain* form)
{
    const QIcon icon = form->findChild<QSystemTrayIcon*>("Picture1")->icon();
    const QColor c = icon.pixmap(16, 16).toImage().pixelColor(10, 10);
    if (c.red() > 200 && c.green() > 180 && c.blue() < 80)
        return "yellow";
    if (c.red() > 240 && c.green() > 240 && c.blue() > 240)
        return "white";
    return c.red() == c.green() && c.green() == c.blue() ? "grey" : c.name();
}

Date at(int hour, int minute, int second)
{
    return Date::fromParts(2026, 12, 5, hour, minute, second);
}

} // namespace

class TrayTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempProgramDir> m_dir;
    FakeKalvex m_kalvex;
    QStringList m_endings;
    bool m_trayAvailable = true;
    const quint16 m_port = freeUdpPort();

    // With a LAN port of the test's own unless the text has one.
    void writeIni(const QByteArray& text)
    {
        writeBytes(m_dir->file(QStringLiteral("Kalvex.ini")), text);
        if (!text.contains("Port="))
            WriteIni("LAN_Settings", "Port", QString::number(m_port));
    }
    QString log() const { return QString::fromUtf8(fileBytes(m_dir->file("Tolvane.log"))); }

    void load(const Date& now, const QByteArray& active = "1")
    {
        writeIni("[Reminder]\nNextDate=051220262200\nActive=" + active + "\n");
        Clock::setNow(now);
        FrmMain::load();
        m_kalvex.calls.clear();
    }
    int armed(const char* timer = "TimerDue") const
    {
        const auto* armedTimer = FrmMain::instance()->findChild<QTimer*>(timer);
        return armedTimer->isActive() ? armedTimer->interval() : -1;
    }
    void clockJumps(const Date& to)
    {
        Clock::setNow(to);
        emit FrmMain::instance()->findChild<WallClockWatch*>()->jumped();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        m_kalvex.calls.clear();
        m_kalvex.holdPosts = false;
        m_kalvex.held.clear();
        m_kalvex.batches.clear();
        m_endings.clear();
        m_trayAvailable = true;
        Clock::setNow(at(21, 59, 30));
        StartLogging(QStringLiteral("Tolvane.log"));
        Kalvex::setClient(&m_kalvex);
        ProgramEnd::setHook([this](bool atOnce) { m_endings << (atOnce ? "now" : "quit"); });
        TrayHost::setAvailability([this] { return m_trayAvailable; });
        Prompt::clearHistory();
        setAnnounceTarget(QString()); // nothing leaves this machine's own network
        writeIni({});
    }
    void cleanup()
    {
        FrmMain::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Kalvex::setClient(nullptr);
        ProgramEnd::setHook(nullptr);
        TrayHost::setAvailability(nullptr);
        TrayHost::setPatience({});
        Clock::useSystemClock();
        WriteLogSummary(); // what a test dropped is told in its own log, not the next one's
        m_dir.reset();
    }

    // After the wait for a panel: Abort ends, Retry looks again, Ignore carries on without icon.
    void refusedTrayIconAsksAbortRetryIgnore()
    {
        using A = Prompt::Answer;
        for (const QList<A>& answers : {QList<A>{A::Abort}, QList<A>{A::Retry, A::Ignore}}) {
            cleanup(), init();
            TrayHost::setPatience({200, 5});
            m_trayAvailable = false;
            for (A a : answers)
                Prompt::setNextAnswer(a);
            FrmMain* form = FrmMain::load();
            QVERIFY(form->findChild<QTimer*>("Timer1")->isActive());
            QTRY_COMPARE(Prompt::history().size(), answers.size());
            QCOMPARE(Prompt::history().last().buttons, Prompt::Buttons::AbortRetryIgnore);
            const bool carriesOn = answers.size() == 2;
            QTRY_COMPARE(FrmMain::instance() != nullptr, carriesOn);
            QCOMPARE(m_endings, carriesOn ? QStringList{} : QStringList{"quit"});
        }
    }

    // Yellow while the LAN works, white when off or its port is held (logged and told); grey
    // stopped.
    void runningIconFollowsLanSwitches()
    {
        QUdpSocket holder;
        QVERIFY(
            holder.bind(QHostAddress::AnyIPv4, freeUdpPort(), QAbstractSocket::DontShareAddress));
        const QByteArray taken = QByteArray::number(holder.localPort());
        using Case = std::pair<QByteArray, QString>;
        for (const auto& [ini, face] :
             {Case{"OptSend=False\nOptReceive=true\n", "yellow"},
              Case{"OptSend=0\nOptReceive=0\n", "white"}, Case{"Port=" + taken + "\n", "white"}}) {
            writeIni("[LAN_Settings]\n" + ini);
            FrmMain* form = FrmMain::load();
            QCOMPARE(faceOf(form), face);
            QCOMPARE(frmWinSock::instance() != nullptr, face == "yellow");
            // The held port is told, in Hebrew, for the icon to say.
            QCOMPARE(modMain::LanTrouble.contains("הפורט " + taken + " תפוס"),
                     ini.startsWith("Port"));
            form->SetState(false);
            QCOMPARE(faceOf(form), QString("grey"));
            form->SetState(true);
            QCOMPARE(faceOf(form), face);
            FrmMain::unload();
        }
        QVERIFY2(log().contains(" -> LANInit: UDP port " + taken + ": "), qPrintable(log()));
    }

    // Stopped while the published time passes, then resumed: the very first tick checks.
    void resumedFromTheMenuTheFirstTickChecks()
    {
        writeIni("[Reminder]\nNextDate=051220262205\n");
        FrmMain* form = FrmMain::load();
        auto* item = form->findChild<QAction*>("mnuDisable");
        auto* timer = form->findChild<QTimer*>("Timer1");
        item->trigger();
        Clock::advance(10 * 60);
        item->trigger();
        qsizetype checksAtFirstTick = -1;
        connect(timer, &QTimer::timeout, this, [&] {
            if (checksAtFirstTick < 0)
                checksAtFirstTick = m_kalvex.calls.count("CheckList");
        });
        timer->setInterval(20);
        QTRY_COMPARE(checksAtFirstTick, 1);
    }

    // Now is 21:59:<second>; a time only a hand-edited file holds counts as none.
    void tickChecksOnlyOncePublishedTimeHasPassed()
    {
        using Case = std::tuple<QByteArray, int, int>;
        for (const auto& [nextDate, second, checks] :
             {Case{"NULL", 30, 0}, Case{"051220262159", 0, 0}, Case{"051220262159", 30, 1},
              Case{"310220201200", 30, 0}}) {
            m_kalvex.calls.clear();
            writeIni("[Reminder]\nNextDate=" + nextDate + "\n");
            Clock::setNow(at(21, 59, second));
            modMain::CheckNextDate();
            QCOMPARE(m_kalvex.calls.size(), checks);
        }
        QCOMPARE(log(), QString());
    }

    // For the first millisecond past the due minute, when before the next tick and running;
    // Kalvex is started half a second ahead.
    void wakeUpIsArmedBeforeTheNextTick()
    {
        using Case = std::tuple<Date, QByteArray, int, int>;
        for (const auto& [now, active, delayMs, warmMs] :
             {Case{at(21, 59, 55), "1", 5001, 4501}, Case{at(21, 59, 50), "1", -1, -1},
              Case{at(22, 0, 1), "1", -1, -1}, Case{at(21, 59, 55), "0", -1, -1}}) {
            load(now, active);
            QCOMPARE(armed(), delayMs);
            QCOMPARE(armed("TimerWarm"), warmMs);
            FrmMain::unload();
        }
    }

    // A wake-up before the clock shows the due time passed waits again.
    void firesPastTheDueMomentAndNeverBefore()
    {
        load(at(22, 0, 0));
        QCOMPARE(armed(), 1);
        QSignalSpy fired(FrmMain::instance()->findChild<QTimer*>("TimerDue"), &QTimer::timeout);
        QVERIFY(fired.wait(3000));
        QCOMPARE(m_kalvex.calls, QStringList());
        QCOMPARE(armed(), 1);
        Clock::advance(1);
        QVERIFY(fired.wait(3000));
        QCOMPARE(m_kalvex.calls, QStringList{"CheckList"});
        QCOMPARE(armed(), -1);
    }

    void wakeUpFollowsNewPublicationsAndClockJumps()
    {
        load(at(21, 0, 0));
        // A manual change to just before the due time, then a resume after it.
        clockJumps(at(21, 59, 57));
        QCOMPARE(armed(), 3001);
        clockJumps(at(22, 5, 0));
        QCOMPARE(armed(), -1);
        QCOMPARE(m_kalvex.calls, QStringList{"CheckList"});
        // Kalvex publishes a new time between two ticks.
        Clock::setNow(at(22, 5, 55));
        WriteIni("Reminder", "NextDate", "051220262206");
        QTRY_COMPARE(armed(), 5001);
        // ... and one already past (another program's row): checked at once, and only once.
        m_kalvex.calls.clear();
        WriteIni("Reminder", "NextDate", "051220262204");
        QTRY_COMPARE(m_kalvex.calls, QStringList{"CheckList"});
        QCOMPARE(armed(), -1);
        for (const char* nextDate : {"051220262204", "051220262203", "051220262206"})
            WriteIni("Reminder", "NextDate", nextDate);
        QTRY_COMPARE(armed(), 5001);
        QCOMPARE(m_kalvex.calls, QStringList{"CheckList"});
    }

    // "סגור הכל" and "דחה הכל" are offered while Kalvex has alerts open; the tip tells how many.
    // Ending the monitor stands apart from them, after a separator.
    void alertItemsWhileAlertsAreOpen()
    {
        load(at(21, 0, 0));
        const QList<QAction*> items = FrmMain::instance()->findChild<QMenu*>("MainMenu")->actions();
        const qsizetype exit = items.indexOf(FrmMain::instance()->findChild<QAction*>("mnuExit"));
        QVERIFY(exit > 0);
        QVERIFY(items[exit - 1]->isSeparator());
        auto* alerts = FrmMain::instance()->findChild<OpenAlerts*>();
        auto* icon = FrmMain::instance()->findChild<QSystemTrayIcon*>("Picture1");
        using Case = std::pair<int, QString>;
        for (const auto& [open, tip] :
             {Case{300, "תזכורון ולטרום - 300 תזכורות פתוחות"},
              Case{1, "תזכורון ולטרום - תזכורת פתוחה אחת"}, Case{0, "תזכורון ולטרום"}}) {
            alerts->setCount(open);
            for (const char* item : {"mnuCloseAll", "mnuDelayAll"})
                QCOMPARE(FrmMain::instance()->findChild<QAction*>(item)->isVisible(), open > 0);
            QCOMPARE(icon->toolTip(), tip);
        }
        alerts->setCount(2);
        FrmMain::instance()->SetState(false);
        QCOMPARE(icon->toolTip(), "תזכורון ולטרום - לא פעיל - 2 תזכורות פתוחות");
    }

    // Another program's write to the database (a changed header, a WAL file) has Kalvex
    // publish again at the next tick, once; its own call changes nothing that counts.
    void aChangedDatabaseIsPublishedAgainOnce()
    {
        const QString db = m_dir->file("KV_Data.mdb");
        QByteArray header(100, '\0');
        writeBytes(db, header);
        load(at(21, 0, 0));
        auto* timer = FrmMain::instance()->findChild<QTimer*>("Timer1");
        QSignalSpy ticks(timer, &QTimer::timeout);
        timer->setInterval(20);
        const auto updatesAfterTicks = [&](int count) {
            const qsizetype until = ticks.size() + count;
            [&] { QTRY_VERIFY(ticks.size() >= until); }();
            return m_kalvex.calls.count("UpdateList");
        };
        QCOMPARE(updatesAfterTicks(3), 0);
        header[27] = 1; // the change counter, as a commit raises it
        writeBytes(db, header);
        QCOMPARE(updatesAfterTicks(3), 1);
        writeBytes(db + "-wal", "frames");
        QCOMPARE(updatesAfterTicks(3), 2);
        QFile::remove(db + "-wal");
        QFile::remove(db);
        QCOMPARE(updatesAfterTicks(3), 3); // gone at once: one call
        QCOMPARE(log(), QString());
    }

    // While receiving is on, the receiver tells the office that this user listens, once bound
    // and after a resume moves the clock on: an "IAM" with the nickname, as an answer reads.
    void theReceiverAnnouncesItselfWhileReceiving()
    {
        m_kalvex.holdPosts = true;
        setAnnounceTarget("127.0.0.1"); // to its own port
        for (const bool receiving : {false, true}) {
            writeIni("[LAN_Settings]\nNick=דנה\nOptReceive=" + QByteArray::number(receiving) +
                     "\n");
            FrmMain::load();
            emit frmWinSock::instance()->findChild<WallClockWatch*>()->jumped();
            QCOMPARE(log().count("SendData: IAM\\tדנה\\t"), receiving ? 2 : 0);
            if (receiving) // as a peer reads it
                QTRY_COMPARE(log().count("DataArrival: 127.0.0.1\\tIAM\\tדנה\\t"), 2);
            FrmMain::unload();
        }
    }

    // Arrivals within a second make one notice naming author, title and time of each, five at
    // most and the rest counted; a click opens the latest in the list, a deleted one the list.
    void arrivalsMakeOneNoticeASecond()
    {
        QStringList shown;
        ArrivalNotices notices(
            [&](const QString& title, const QString& text) { shown << title + "|" + text; });
        notices.take("new", 7, "דנה", "ישיבה", "05/12/2026 14:30");
        QTRY_COMPARE(shown, QStringList{"תזכורת משותפת חדשה מאת דנה|ישיבה - 05/12/2026 14:30"});
        QCOMPARE(notices.clickTarget(), 7);
        shown.clear();
        for (int i = 1; i <= ArrivalNotices::kMaxListed + 2; ++i)
            notices.take(i % 2 ? "changed" : "deleted", i, "יוסי", QString("t%1").arg(i), "d");
        QTRY_COMPARE(shown.size(), 1);
        const QStringList lines = shown[0].split('\n');
        QCOMPARE(lines.value(0), QString("7 תזכורות משותפות|יוסי (עודכנה): t1 - d"));
        QCOMPARE(lines.value(1), QString("יוסי (נמחקה): t2 - d"));
        QCOMPARE(lines.value(ArrivalNotices::kMaxListed), QString("ועוד 2"));
        QCOMPARE(notices.clickTarget(), 5);
        // Kalvex tells five of 250 one by one and the rest by their count, in one second or
        // the next.
        shown.clear();
        for (int i = 1; i <= ArrivalNotices::kMaxListed; ++i)
            notices.take("new", i, "דנה", "t", "d");
        notices.takeHeldBack(200);
        notices.takeHeldBack(40);
        QTRY_COMPARE(shown.size(), 1);
        notices.takeHeldBack(5);
        QTRY_COMPARE(shown.size(), 2);
        QCOMPARE(shown[0].section('|', 0, 0), QString("245 תזכורות משותפות"));
        QVERIFY(shown[0].endsWith("\nועוד 240"));
        QCOMPARE(shown[1], QString("5 תזכורות משותפות|פרטיהן ברשימת התזכורות"));
        QCOMPARE(notices.clickTarget(), 0);
    }

    // One batch at a time, the next once Kalvex has carried out the last: at most 200
    // datagrams or 1 MiB; what waits meanwhile is bounded too, the rest dropped and counted.
    void datagramsGoToKalvexInBoundedBatchesOneAtATime()
    {
        m_kalvex.holdPosts = true;
        LanHandOver handOver;
        for (int i = 0; i < 450; ++i)
            handOver.take("127.0.0.2\tWHL\t", "127.0.0.2");
        QTRY_COMPARE(m_kalvex.batches, QList<qsizetype>{200});
        for (const QList<qsizetype>& expected : {QList<qsizetype>{200, 200}, {200, 200, 50}}) {
            m_kalvex.endHeld();
            QTRY_COMPARE(m_kalvex.batches, expected);
        }
        handOver.take("127.0.0.2\tWHL\t", "127.0.0.2");
        QCOMPARE(handOver.waiting(), 1); // until the last batch is carried out
        m_kalvex.batches.clear();
        const QByteArray big(60000, 'b');
        for (int i = 0; i < 200; ++i)
            handOver.take(big, QStringLiteral("127.0.0.%1").arg(2 + i % 4));
        // Unverified datagrams fill the queue only up to their share of it.
        const qint64 share = LanHandOver::kMaxWaitingBytes * LanHandOver::kMaxUnverifiedShare / 5;
        QCOMPARE(handOver.waiting(), 1 + int(share / big.size()));
        m_kalvex.endHeld();
        QTRY_COMPARE(m_kalvex.batches, QList<qsizetype>{1 + 17}); // the small one and 1 MiB
        WriteLogSummary();
        QVERIFY(log().contains("LAN: dropped 22 datagrams from unverified 127.0.0.3: the queue to "
                               "Kalvex is full"));
        m_kalvex.holdPosts = false;
        m_kalvex.endHeld();
    }

    // Each address may send a burst of 1,000, then 20 a second; a datagram longer than any
    // peer can send is dropped.
    void eachSenderIsHeldToItsRate()
    {
        m_kalvex.holdPosts = true;
        qint64 ms = 0;
        LanHandOver handOver(nullptr, [&ms] { return ms; });
        for (int i = 0; i < kBurstDatagrams + 5; ++i)
            handOver.take("127.0.0.2\tWHL\t", "127.0.0.2");
        handOver.take("127.0.0.3\tWHL\t", "127.0.0.3");
        handOver.take(QByteArray(kMaxDatagramBytes + 1, 'x'), "127.0.0.3");
        QCOMPARE(handOver.waiting(), kBurstDatagrams + 1);
        ms = 1000;
        for (int i = 0; i < kDatagramsPerSecond + 5; ++i)
            handOver.take("127.0.0.2\tWHL\t", "127.0.0.2");
        QCOMPARE(handOver.waiting(), kBurstDatagrams + 1 + kDatagramsPerSecond);
        WriteLogSummary();
        QCOMPARE(log().count("LAN: dropped 10 datagrams from unverified 127.0.0.2: over the rate "
                             "of 20 datagrams or 131072 bytes a second"),
                 1);
        QCOMPARE(log().count("LAN: dropped 1 datagrams from 127.0.0.3: longer than 65507 bytes"),
                 1);
    }

    // A colleague known by key keeps a rate and a part of the queue of its own: a flood with
    // its address faked, and one that fills what unverified datagrams may, leave it through.
    void aPinnedColleagueIsHeldToItsOwnRate()
    {
        m_kalvex.holdPosts = true;
        SigningPeer colleague, stranger;
        ColleagueKeys pins(TrustFiles::colleaguesFile());
        QVERIFY(pins.pin("dana", colleague.key()));
        pins.save();
        LanHandOver handOver(nullptr, [] { return 0; });
        const qsizetype unverifiedRoom =
            LanHandOver::kMaxWaitingDatagrams * LanHandOver::kMaxUnverifiedShare / 5;
        for (int i = 0; i < unverifiedRoom + kBurstDatagrams; ++i)
            handOver.take("127.0.0.9	WHL	", QString("127.0.1.%1").arg(i % 200));
        for (int i = 0; i < kBurstDatagrams; ++i)
            handOver.take(stranger.sign("127.0.0.2	WHL	"), "127.0.0.2");
        QCOMPARE(handOver.waiting(), unverifiedRoom);
        handOver.take(colleague.sign("127.0.0.2	IAM	dana	"), "127.0.0.2");
        QCOMPARE(handOver.waiting(), unverifiedRoom + 1);
    }

    // What was handed over leaves the queue's count: some 20 MB in all pass, 1 MB at a time.
    void theQueueCountsOnlyWhatWaits()
    {
        m_kalvex.holdPosts = true;
        qint64 ms = 0;
        LanHandOver handOver(nullptr, [&ms] { return ms; });
        const QByteArray big(60000, 'b');
        for (int round = 0; round < 20; ++round) {
            ms += 60 * 1000; // each sender's bucket full again
            for (int i = 0; i < 16; ++i)
                handOver.take(big, QStringLiteral("127.0.0.%1").arg(2 + i));
            QTRY_COMPARE(m_kalvex.held.size(), 1);
            QCOMPARE(m_kalvex.batches.last(), 16);
            m_kalvex.endHeld();
        }
        WriteLogSummary();
        QCOMPARE(log(), QString());
    }

    // An hour idle fills a sender's buckets to the burst, no further: datagrams and bytes.
    void aSendersBurstStaysCappedHoweverLongIdle()
    {
        using Case = std::pair<qint64, int>; // datagram size, how many pass at once
        for (const auto& [bytes, burst] :
             {Case{100, kBurstDatagrams}, Case{64 * 1024, int(kBurstBytes / (64 * 1024))}}) {
            qint64 ms = 0;
            SenderRates rates([&ms] { return ms; });
            QVERIFY(rates.admit("127.0.0.2", bytes));
            ms += 3600 * 1000;
            int passed = 0;
            while (passed <= burst && rates.admit("127.0.0.2", bytes))
                ++passed;
            QCOMPARE(passed, burst);
        }
    }

    // A relay remembers what it carried, and whom it heard from, for kKeepMs and kMaxEntries at
    // most, the oldest forgotten first: a flood cannot grow it.
    void aRelaysMemoryIsBounded()
    {
        constexpr qint64 keep = RelayMemory::kKeepMs;
        RelayMemory memory;
        QVERIFY(memory.carry("w", "10.0.0.1", 0));
        QVERIFY(!memory.carry("w", "10.0.0.1", keep));
        QVERIFY(memory.heardFrom("10.0.0.1", keep));
        QVERIFY(!memory.heardFrom("10.0.0.1", keep + 1));
        QVERIFY(memory.carry("w", "10.0.0.1", keep + 1));
        for (int i = 1; i < RelayMemory::kMaxEntries; ++i)
            QVERIFY(memory.carry(QByteArray::number(i), "10.0.0.2", keep + 1));
        QVERIFY(memory.carried("w", keep + 1));
        QVERIFY(memory.carry("one more", "10.0.0.2", keep + 1));
        QVERIFY(!memory.carried("w", keep + 1));
        QVERIFY(!memory.heardFrom("10.0.0.1", keep + 1));
    }

    // A failed hand-over pauses the next one; the first that succeeds ends the pause, so
    // every later batch goes at once.
    void aSuccessEndsThePauseAfterAFailure()
    {
        m_kalvex.holdPosts = true;
        LanHandOver handOver;
        handOver.take("127.0.0.2\tWHL\t", "127.0.0.2");
        QTRY_COMPARE(m_kalvex.held.size(), 1);
        handOver.take("127.0.0.2\tWHL\t", "127.0.0.2"); // waits behind it
        m_kalvex.endHeld(true);
        QTRY_COMPARE_WITH_TIMEOUT(m_kalvex.held.size(), 1, LanHandOver::kRetryStepMs * 3);
        for (int batch = 0; batch < 3; ++batch) {
            handOver.take("127.0.0.2\tWHL\t", "127.0.0.2");
            m_kalvex.endHeld();
            QCoreApplication::processEvents(); // the next batch goes on the next turn
            QCOMPARE(m_kalvex.held.size(), 1);
        }
        m_kalvex.endHeld();
    }

    // Logged under the wrapper's name and not retried: only GetKalvex registers Kalvex.
    void failedCallsAreLoggedUnderTheirWrapperAndDropped()
    {
        m_kalvex.notCreatedLeft = 2;
        modMain::ShowList();
        modMain::MsgProc({{"127.0.0.2", "127.0.0.2	DEL	1	"}});
        QCOMPARE(m_kalvex.calls, (QStringList{"ShowList", "MsgProcessBatch"}));
        QCOMPARE(m_endings, QStringList());
        const QStringList lines = log().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].contains(" -> ShowList: The name"));
        QVERIFY(lines[1].contains(" -> MsgProc: The name"));
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
