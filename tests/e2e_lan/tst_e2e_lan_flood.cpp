// A hostile machine on the office LAN (host b) floods an installation (host a: the real Kalvex
// and Tolvane) with large and small updates, malformed datagrams and "WHL"s, all claiming to
// come from host c, while one of a's own reminders falls due and c sends a genuine update.
#include "platform/Clock.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanNetwork.h"
#include "trust/SignatureField.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

namespace {

constexpr quint16 kPort = 217;
constexpr int kOwnId = 4242;       // the network identity of a reminder a shared
constexpr int kGenuineId = 777777; // c's update
constexpr int kAlertWithinMs = 2000;
constexpr int kAnswerWithinMs = 1000;
const QByteArray kClaimed = "198.18.0.3"; // field 0 of every datagram of the flood

QByteArray update(int id, const QByteArray& detail)
{
    return kClaimed + "\tUPD\tALL\t" + QByteArray::number(id) + "\tflood\t051220301430\t0\t5\t" +
           detail + "\tTrue\t2\t1\tFalse\t0\t0\t0\t051220301430\tTrue\tflood\t";
}

// The longest update a peer can send: 65,507 bytes.
QByteArray largestUpdate(int id)
{
    const QByteArray empty = update(id, QByteArray());
    return update(id, QByteArray(65507 - empty.size(), 'd'));
}

// Ten milliseconds of the flood: some 720 datagrams and 1.4 MB a second.
QList<QByteArray> floodStep(int step)
{
    QList<QByteArray> datagrams{kClaimed + "\tWHL\t"};
    for (int i = 0; i < 5; ++i) {
        const int n = step * 5 + i;
        datagrams << update(n % 50 == 0 ? kOwnId : 1000000 + n, "small " + QByteArray::number(n));
    }
    if (step % 2 == 0)
        datagrams << kClaimed + "\tDEL\t" + QByteArray::number(kOwnId) + "\t"
                  << kClaimed + (step % 4 == 0 ? QByteArray("\tupd\tbad\t")
                                               : QByteArray("\tIAM\ta\0b\t", 9));
    if (step % 10 == 0)
        datagrams << largestUpdate(2000000 + step) << QByteArray(64000, 'j');
    return datagrams;
}

} // namespace

class E2eLanFlood : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<E2eSession> m_s;
    QUdpSocket m_flooder; // on b
    QUdpSocket m_peer;    // c's LAN port
    QList<QByteArray> m_toPeer;
    QTimer m_flood;
    int m_step = 0;
    int m_sent = 0;
    QElapsedTimer m_sinceFlood;
    std::unique_ptr<KalvexKVClassDebugInterface> m_windowsShown; // from any Kalvex
    qint64 m_alertShownMs = -1;                                  // after the flood began

    // Read while Kalvex may be writing: a locked file counts as no answer yet.
    QVariant sql(const QString& query)
    {
        QVariant value;
        E2eSession::waitFor(
            [&] {
                try {
                    value = m_s->scalarSql(query);
                    return true;
                } catch (const std::exception&) {
                    return false;
                }
            },
            30000);
        return value;
    }
    QString ownRows()
    {
        return sql("SELECT group_concat(x, '|') FROM (SELECT quote(RMain_Id) || RCaption || "
                   "quote(RDetail) || quote(RNext) || quote(RActive) || quote(ReceivedBy) || "
                   "quote(SentTo) || quote(BroadcastId) AS x FROM Main_tbl WHERE IAMAuthor = 1 "
                   "ORDER BY RMain_Id)")
            .toString();
    }
    // Kalvex's interface that waits ms at most for an answer.
    template <typename Interface> std::unique_ptr<Interface> within(int ms) const
    {
        auto kalvex = kalvexOn<Interface>(m_s->bus());
        kalvex->setTimeout(ms);
        return kalvex;
    }

private slots:
    void windowShown(const QString& objectName, const QString&)
    {
        if (objectName == "Remind" && m_alertShownMs < 0)
            m_alertShownMs = m_sinceFlood.elapsed();
    }

    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 3);
        QVERIFY(m_net->bindIn(1, m_flooder));
        QVERIFY(m_net->bindIn(2, m_peer, kPort));
        connect(&m_peer, &QUdpSocket::readyRead, this, [this] {
            while (m_peer.hasPendingDatagrams())
                m_toPeer << splitSignedDatagram(m_peer.receiveDatagram().data()).unsignedBytes;
        });
        m_s = installationOn(
            *m_net, 0, "A",
            {.environment = {{"KV_PROMPT_ANSWER", "Ignore"}, {"KV_TRAY_WAIT_MS", "100"}}});
        QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
        m_s->scalarSql("INSERT INTO Main_tbl (RCaption, RDate, RNext, RActive, BroadcastId, "
                       "IAMAuthor) VALUES ('משותפת', 50000, 50000, 1, ?, 1)",
                       {kOwnId});
        // An office's years of copies: a lookup that reads the whole table falls behind.
        m_s->scalarSql("INSERT INTO Main_tbl (RCaption, RDate, RNext, RActive, BroadcastId, "
                       "IAMAuthor, RAuthor) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                       "i + 1 FROM n WHERE i < 30000) SELECT 'copy ' || i, 47500, 47500, 1, "
                       "5000000 + i, 0, 'old' FROM n");
        QVERIFY(m_s->startMonitor());
        m_windowsShown = std::make_unique<KalvexKVClassDebugInterface>(
            QString(), KalvexBus::objectPath, m_s->bus());
        connect(m_windowsShown.get(), &KalvexKVClassDebugInterface::WindowShown, this,
                &E2eLanFlood::windowShown);
        m_flood.setTimerType(Qt::PreciseTimer);
        connect(&m_flood, &QTimer::timeout, this, [this] {
            for (const QByteArray& datagram : floodStep(m_step++))
                m_sent += m_flooder.writeDatagram(datagram, QHostAddress("198.18.0.1"), kPort) > 0;
        });
    }

    void anAlertDueInAFloodShowsOnTimeAndAGenuinePeerIsServed()
    {
        // The next minute at least 20 seconds away; the flood starts 12 seconds before it.
        const Date due = Clock::now().addSeconds(20).withoutSeconds().addMinutes(1);
        const qint32 alert = m_s->addReminder(due, "בזמן");
        kalvexOn<KalvexKVClassInterface>(m_s->bus())->UpdateList().waitForFinished();
        QVERIFY(E2eSession::waitFor(
            [&] { return m_s->iniValue("Reminder", "NextDate") == formatNextDate(due); }, 30000));
        const QString own = ownRows();
        const qint64 logged = m_s->logBytes();
        QVERIFY(E2eSession::waitFor([&] { return Clock::msecsUntil(due) <= 12000; }, 90000));
        m_sinceFlood.start();
        const qint64 dueMs = Clock::msecsUntil(due);
        m_flood.start(10);

        QVERIFY(
            E2eSession::waitFor([&] { return m_alertShownMs >= 0; }, int(dueMs + kAlertWithinMs)));
        const qint64 lateMs = m_alertShownMs - dueMs;
        QVERIFY2(lateMs <= kAlertWithinMs, qPrintable(QString::number(lateMs) + " ms late"));

        // Right after it: calls are answered, the database is free.
        const auto debug = within<KalvexKVClassDebugInterface>(kAnswerWithinMs);
        const auto kalvex = within<KalvexKVClassInterface>(kAnswerWithinMs);
        for (const auto& [what, call] :
             std::initializer_list<std::pair<QString, std::function<QDBusPendingCall()>>>{
                 {"PendingCommands", [&] { return QDBusPendingCall(debug->PendingCommands()); }},
                 {"GetReminder", [&] { return QDBusPendingCall(kalvex->GetReminder(alert)); }}}) {
            QElapsedTimer waited;
            waited.start();
            const QDBusPendingCall answer = answered(call());
            qInfo("%s answered in %lld ms", qPrintable(what), waited.elapsed());
            QVERIFY2(!answer.isError(), qPrintable(what + ": " + answer.error().message()));
        }
        QVERIFY(m_flood.isActive());

        // c's genuine update is stored and acknowledged to c; the flood's answers went to b.
        const QByteArray genuine = update(kGenuineId, "genuine");
        m_peer.writeDatagram(genuine, QHostAddress("198.18.0.1"), kPort);
        QVERIFY2(E2eSession::waitFor([&] { return !m_toPeer.isEmpty(); }, 30000),
                 qPrintable(logsOf({m_s.get()})));
        m_flood.stop();
        QVERIFY(E2eSession::waitFor(
            [&] {
                const QDBusPendingReply<int> pending =
                    answered(within<KalvexKVClassDebugInterface>(5000)->PendingCommands());
                return !pending.isError() && pending.value() == 0;
            },
            60000));
        QCOMPARE(sql(QString("SELECT COUNT(*) FROM Main_tbl WHERE BroadcastId = %1 AND "
                             "IAMAuthor = 0")
                         .arg(kGenuineId))
                     .toInt(),
                 1);
        QCOMPARE(m_toPeer, QList<QByteArray>{"198.18.0.1\tACK\t777777\tA\t"});

        QVERIFY2(m_s->logBytes() - logged < 5 * 1024 * 1024,
                 qPrintable(QString::number(m_s->logBytes() - logged) + " bytes logged"));
        QCOMPARE(ownRows(), own);
        qInfo("flood: %d datagrams sent in %d steps of 10 ms; the alert %lld ms after its due time",
              m_sent, m_step, lateMs);
    }

    // Bursts longer than the receiver's slice of reading: each is read to its end, none of it
    // left waiting for a next datagram.
    void everyBurstIsReadToItsEnd()
    {
        for (int burst = 0; burst < 20; ++burst) {
            for (int i = 0; i < 2000; ++i)
                m_flooder.writeDatagram(kClaimed + "\tWHL\t", QHostAddress("198.18.0.1"), kPort);
            QVERIFY2(E2eSession::waitFor([&] { return m_net->udpUnread(0, kPort) == 0; }, 10000),
                     qPrintable(QStringLiteral("burst %1: %2 bytes unread")
                                    .arg(burst)
                                    .arg(m_net->udpUnread(0, kPort))));
        }
    }
};

QTEST_GUILESS_MAIN(E2eLanFlood)
#include "tst_e2e_lan_flood.moc"
