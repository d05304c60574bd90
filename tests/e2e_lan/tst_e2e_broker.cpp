// Two installations A and B on one bridge that carries nothing between them (no broadcast, no
// datagram) and a real mosquitto on host M that both reach: A shares, changes and deletes, B
// acknowledges, all through the broker; what is shared while B is off, and then A is off too,
// reaches B when it starts.
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanNetwork.h"
#include "tests/support/MosquittoBroker.h"
#include "tests/support/XDesktop.h"

#include "platform/Clock.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

namespace {

const QStringList kNicks{"A", "B"};
const QStringList kUsers{"ua", "ub"};
const QString kConnected = "Broker: שרת ההודעות: מחובר";

struct Installation
{
    std::unique_ptr<E2eSession> s;
    QProcess* monitor = nullptr;

    QVariant sql(const QString& query, const QVariantList& params = {}) const
    {
        return s->scalarSql(query, params);
    }
    bool click(const QString& control) const
    {
        return s
            ->call(KalvexBus::serviceName, "/TestHooks", "Kalvex.TestHooks", "Click", {control},
                   false)
            .arguments()
            .value(0)
            .toBool();
    }
    void showList() const
    {
        kalvexOn<KalvexKVClassInterface>(s->bus())->ShowList(0).waitForFinished();
    }
    void closeManager() const
    {
        runningKalvexOn<KalvexKVClassDebugInterface>(s->bus())
            ->CloseWindows("RMain")
            .waitForFinished();
    }
    // The received copy of a shared reminder: its caption, or "" when none.
    QString copy(qint32 broadcastId) const
    {
        return sql("SELECT RCaption FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 0",
                   {broadcastId})
            .toString();
    }
    bool setPassword(const QByteArray& password) const { return writeBrokerPassword(*s, password); }
    int connections() const { return s->logText("Tolvane.log").count(kConnected); }
    void startMonitor() { monitor = s->startProgram("Tolvane"); }
    // Off: the monitor ends, and Kalvex once the broker has what it published.
    bool switchOff()
    {
        monitor->terminate();
        return monitor->waitForFinished(10000) &&
               E2eSession::waitFor([&] { return !s->hasOwner(KalvexBus::serviceName); }, 30000);
    }
};

} // namespace

#define WAIT_FOR KV_WAIT_FOR

class E2eBroker : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<MosquittoBroker> m_broker;
    Installation m_hosts[2];
    Installation& A = m_hosts[0];
    Installation& B = m_hosts[1];

    // Where things stand: B's and A's broker lines, the broker's last lines.
    QString diagnostics() const
    {
        QString text;
        for (int h : {1, 0})
            for (const QString& line : m_hosts[h].s->logText("Tolvane.log").split('\n'))
                if (line.contains("Broker"))
                    text += kNicks[h] + line.right(120) + '\n';
        return text + m_broker->log().right(600);
    }
    QString receivedBy(qint32 id) const
    {
        return A.sql("SELECT ReceivedBy FROM Main_tbl WHERE RMain_Id = ?", {id})
            .toString()
            .remove('\r');
    }
    qint32 broadcastId(qint32 id) const
    {
        return A.sql("SELECT BroadcastId FROM Main_tbl WHERE RMain_Id = ?", {id}).toInt();
    }
    void shareFromEditor()
    {
        A.showList();
        QVERIFY(A.click("OptSend_0"));
        QVERIFY(A.click("cmdSave"));
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 3);
        QVERIFY(m_net->isolate(0));
        QVERIFY(m_net->isolate(1));
        m_broker = std::make_unique<MosquittoBroker>(
            MosquittoBroker::Options{.launcher = m_net->launcher(2),
                                     .listenAddress = LanNetwork::address(2),
                                     .tlsPort = 8883,
                                     .certificateNames = {LanNetwork::address(2)},
                                     .passwords = {{kUsers[0], "pa"}, {kUsers[1], "pb"}}});
        QString error;
        QVERIFY2(m_broker->start(&error), qPrintable(error));
        m_desktop = std::make_unique<XDesktop>();
        QVERIFY2(m_desktop->start(true, &error), qPrintable(error));
        for (int h = 0; h < 2; ++h) {
            Installation& host = m_hosts[h];
            host.s = std::make_unique<E2eSession>(E2eOptions{
                .environment = {{"DISPLAY", m_desktop->display()}, {"KV_PROMPT_ANSWER", "Yes"}},
                .launcher = m_net->launcher(h)});
            QVERIFY2(host.s->isReady(), qPrintable(host.s->error()));
            host.s->setIniValue("LAN_Settings", "Nick", kNicks[h]);
            QVERIFY(useBroker(*host.s, "mqtt://" + LanNetwork::address(2) + ":1883", kUsers[h],
                              h == 0 ? "pa" : "pb"));
            QCOMPARE(host.s->runProgram("Kalvex", {"/REGSERVER"}), 0);
        }
        A.s->setIniValue("Reminder", "Active", "0");
        for (Installation& host : m_hosts) {
            host.startMonitor();
            WAIT_FOR(host.connections() == 1);
        }
    }

    // Only the broker joins them: a datagram of A's to everybody and to B reaches M, not B.
    void theInstallationsShareNoNetwork()
    {
        QUdpSocket sender, atB, atM;
        QVERIFY(m_net->bindIn(0, sender));
        QVERIFY(m_net->listenIn(1, atB, 5999));
        QVERIFY(m_net->listenIn(2, atM, 5999));
        for (const QString& to :
             {QString("255.255.255.255"), LanNetwork::address(1), LanNetwork::address(2)})
            QCOMPARE(sender.writeDatagram("x", 1, QHostAddress(to), 5999), 1);
        int atMCount = 0;
        QVERIFY(E2eSession::waitFor([&] {
            for (; atM.hasPendingDatagrams(); ++atMCount)
                atM.receiveDatagram();
            return atMCount == 2;
        }));
        QVERIFY(!atB.hasPendingDatagrams());
    }

    void shareChangeDeleteAndAcknowledge()
    {
        const qint32 r = A.s->addReminder(Clock::now().addDays(1), "ישיבה");
        shareFromEditor();
        WAIT_FOR(receivedBy(r) == "B");
        const qint32 id = broadcastId(r);
        QCOMPARE(B.copy(id), "ישיבה");
        QVERIFY(m_broker->log().contains("'veltrum/all/ua'"));
        QVERIFY(m_broker->log().contains("'veltrum/to/ua/ub'"));

        A.sql("UPDATE Main_tbl SET RCaption = 'ישיבה 2' WHERE RMain_Id = ?", {r});
        shareFromEditor();
        WAIT_FOR(B.copy(id) == "ישיבה 2");

        QVERIFY(A.click("cmdDelete"));
        WAIT_FOR(broadcastId(r) == 0);
        WAIT_FOR(B.copy(id).isEmpty());
        A.closeManager();
        for (const Installation& host : m_hosts)
            for (const char* fault : {"הודעה פגומה", "WS_LAN_Send", "dropped"})
                QVERIFY2(!host.s->logText().contains(fault), qPrintable(diagnostics()));
    }

    // The broker keeps for B what A published while B was off, after A is off too; and B's
    // receipt for A until A is back.
    void theBrokerKeepsWhatArrivesWhileOff()
    {
        QVERIFY(B.switchOff());
        const qint32 r = A.s->addReminder(Clock::now().addDays(2), "בזמן שלא היית");
        shareFromEditor();
        WAIT_FOR(broadcastId(r) != 0);
        const qint32 id = broadcastId(r);
        A.closeManager();
        QVERIFY(A.switchOff());

        B.startMonitor();
        WAIT_FOR(B.copy(id) == "בזמן שלא היית");
        QVERIFY(receivedBy(r).isEmpty());
        A.startMonitor();
        WAIT_FOR(receivedBy(r) == "B");
    }

    // Where another program holds the LAN port (another user's Tolvane on the same computer),
    // the broker still brings what is shared.
    void aHeldLanPortLeavesTheBroker()
    {
        QVERIFY(B.switchOff());
        QUdpSocket holder;
        QVERIFY(m_net->bindIn(1, holder, 217));
        const int before = B.connections();
        B.startMonitor();
        WAIT_FOR(B.connections() > before);
        const qint32 r =
            A.s->addReminder(Clock::now().addSeconds(3600), "הפורט תפוס"); // shown first
        shareFromEditor();
        WAIT_FOR(broadcastId(r) != 0 && B.copy(broadcastId(r)) == "הפורט תפוס");
        A.closeManager();
    }

    // Each refusal is told once however often B tries again; a certificate that is not the
    // broker's, or not for its name, gets nothing, not even the user's name.
    void refusalsAreToldOnce_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("authority"); // "ca": the broker's, "other": another
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("answered"); // the broker read B's CONNECT and answered it
        const QString host = LanNetwork::address(2);
        QTest::newRow("wrong password")
            << "mqtt://" + host + ":1883"
            << "" << QByteArray("x") << "דחה את שם המשתמש או את הסיסמה" << true;
        QTest::newRow("TLS") << "mqtts://" + host + ":8883"
                             << "ca" << QByteArray("pb") << "שרת ההודעות: מחובר" << true;
        QTest::newRow("certificate of another name")
            << "mqtts://" + host + ":8884"
            << "ca" << QByteArray("pb") << "לא אומת" << false;
        QTest::newRow("certificate of another authority")
            << "mqtts://" + host + ":8883"
            << "other" << QByteArray("pb") << "לא אומת" << false;
    }
    void refusalsAreToldOnce()
    {
        QFETCH(QString, address);
        QFETCH(QString, authority);
        QFETCH(QByteArray, password);
        QFETCH(QString, told);
        QFETCH(bool, answered);
        QString caFile, error;
        if (authority == "ca")
            caFile = m_broker->caFile();
        else if (authority == "other")
            QVERIFY2(m_broker->makeOtherAuthority(&caFile, &error), qPrintable(error));
        QVERIFY(B.switchOff());
        B.s->setIniValue("Broker", "Address", address);
        B.s->setIniValue("Broker", "CaFile", caFile);
        QVERIFY(B.setPassword(password));
        const auto toldCount = [&] { return B.s->logText("Tolvane.log").count(told); };
        // The broker logs a TLS connection that fails as soon as it is taken in instead of
        // as a new one.
        const auto tries = [&] {
            const QString log = m_broker->log(), from = LanNetwork::address(1);
            return log.count("New connection from " + from) +
                   log.count("Client connection from " + from + " failed");
        };
        const auto answers = [&] { return m_broker->log().count("Sending CONNACK"); };
        const qsizetype toldBefore = toldCount(), triesBefore = tries(), answersBefore = answers();
        B.startMonitor();
        WAIT_FOR(toldCount() > toldBefore);
        if (told.contains("מחובר"))
            WAIT_FOR(tries() == triesBefore + 1);
        else
            WAIT_FOR(tries() >= triesBefore + 3); // tried again, twice
        QCOMPARE(toldCount(), toldBefore + 1);
        QCOMPARE(answers() > answersBefore, answered);
    }
};

QTEST_GUILESS_MAIN(E2eBroker)
#include "tst_e2e_broker.moc"
