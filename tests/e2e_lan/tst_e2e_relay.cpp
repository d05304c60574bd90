// W, a machine of the Windows release (unsigned datagrams, no broker), and R, an installation
// that relays, share a LAN; B, an installation on a cable to the broker's host M alone, shares
// no broadcast domain with them. R carries between W and B, each datagram once each way.
#include "tests/support/E2eSession.h"
#include "tests/support/LanNetwork.h"
#include "tests/support/LanPeer.h"
#include "tests/support/MosquittoBroker.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

namespace {

enum Host { W, R, B, M };
constexpr quint16 kPort = 217;
const QString kConnected = "Broker: שרת ההודעות: מחובר";

// What a host's LAN port receives, kept.
class Capture : public QUdpSocket
{
public:
    bool listen(const LanNetwork& net, Host host)
    {
        connect(this, &QUdpSocket::readyRead, this, [this] {
            while (hasPendingDatagrams())
                m_heard << receiveDatagram();
        });
        return net.listenIn(host, *this, kPort);
    }
    QList<QNetworkDatagram> containing(const QByteArray& piece) const
    {
        QList<QNetworkDatagram> found;
        std::copy_if(m_heard.begin(), m_heard.end(), std::back_inserter(found),
                     [&](const QNetworkDatagram& heard) { return heard.data().contains(piece); });
        return found;
    }

private:
    QList<QNetworkDatagram> m_heard;
};

QByteArray ackOf(qint32 id, const QByteArray& nick)
{
    return "\tACK\t" + QByteArray::number(id) + '\t' + nick + '\t';
}

QByteArray shareOf(qint32 id)
{
    return "\tUPD\tALL\t" + QByteArray::number(id) + '\t';
}

} // namespace

#define WAIT_FOR KV_WAIT_FOR

class E2eRelay : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<MosquittoBroker> m_broker;
    std::unique_ptr<E2eSession> m_s[3]; // R and B
    Capture m_atW, m_atM;
    QUdpSocket m_w;

    E2eSession& s(Host h) const { return *m_s[h]; }
    QString diagnostics() const
    {
        QString text;
        for (const Host h : {R, B})
            if (m_s[h])
                text += logsOf({m_s[h].get()});
        return text + m_broker->log().right(600);
    }
    void sendFromW(const QByteArray& datagram)
    {
        QCOMPARE(m_w.writeDatagram(datagram, QHostAddress::Broadcast, kPort), datagram.size());
    }
    // A message published on the broker by B's user, as a broker client of B's would.
    void publishAsB(const QString& topic, const QByteArray& payload)
    {
        QCOMPARE(
            QProcess::execute("ip", m_net->launcher(B).mid(1) +
                                        QStringList{"mosquitto_pub", "-h", LanNetwork::address(M),
                                                    "-u", "ub", "-P", "pb", "-q", "1", "-t", topic,
                                                    "-m", QString::fromLatin1(payload)}),
            0);
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 4);
        QVERIFY2(m_net->cableTo(B, M), qPrintable(m_net->error()));
        m_broker = std::make_unique<MosquittoBroker>(
            MosquittoBroker::Options{.launcher = m_net->launcher(M),
                                     .listenAddress = LanNetwork::address(M),
                                     .passwords = {{"ur", "pr"}, {"ub", "pb"}}});
        QString error;
        QVERIFY2(m_broker->start(&error), qPrintable(error));
        QVERIFY(m_net->bindIn(W, m_w));
        QVERIFY(m_atW.listen(*m_net, W));
        QVERIFY(m_atM.listen(*m_net, M));
        const QString address = "mqtt://" + LanNetwork::address(M) + ":1883";
        for (const auto& [h, nick, user] : {std::tuple(R, "R", "ur"), std::tuple(B, "B", "ub")}) {
            m_s[h] =
                installationOn(*m_net, h, nick, {.environment = {{"KV_PROMPT_ANSWER", "Ignore"}}});
            QVERIFY2(s(h).isReady(), qPrintable(s(h).error()));
            QVERIFY(useBroker(s(h), address, user, h == R ? "pr" : "pb"));
        }
        s(R).setIniValue("Broker", "Relay", "1");
        for (const Host h : {R, B}) {
            QVERIFY(s(h).startMonitor());
            WAIT_FOR(s(h).logText("Tolvane.log").contains(kConnected));
        }
        QVERIFY(s(R).logText("Tolvane.log").contains("Relay: carrying"));
    }

    // W's share, sent twice as a peer that repeats itself does, is stored by B once, marked
    // unverified; B's receipt reaches W from R, sent to W alone.
    void aWindowsPeersShareReachesTheBrokerOnce()
    {
        const QByteArray w = LanNetwork::address(W).toLatin1();
        sendFromW(updateDatagram(w, 501, "W", "from W"));
        sendFromW(updateDatagram(w, 501, "W", "from W"));
        sendFromW(updateDatagram(w, 502, "W", "marker"));
        WAIT_FOR(!m_atW.containing(ackOf(502, "B")).isEmpty());
        const QList<QNetworkDatagram> acks = m_atW.containing(ackOf(501, "B"));
        QCOMPARE(acks.size(), 1);
        QCOMPARE(acks[0].senderAddress().toString(), LanNetwork::address(R));
        QCOMPARE(acks[0].destinationAddress().toString(), LanNetwork::address(W));
        QCOMPARE(
            s(B).scalarSql("SELECT COUNT(*) FROM Unsigned_tbl WHERE BroadcastId = 501").toInt(), 1);
    }

    // B's share is broadcast on W's LAN once, by R, as B signed it; R's Kalvex has it once, from
    // the broker.
    void aBrokerPeersShareReachesTheSegmentOnce()
    {
        const qint32 shared = shareByScript(s(B), "מ-B", "ALL");
        const qint32 marker = shareByScript(s(B), "סימן", "ALL");
        WAIT_FOR(!m_atW.containing(shareOf(marker)).isEmpty());
        const QList<QNetworkDatagram> shares = m_atW.containing(shareOf(shared));
        QCOMPARE(shares.size(), 1);
        QCOMPARE(shares[0].senderAddress().toString(), LanNetwork::address(R));
        QVERIFY(shares[0].data().startsWith(LanNetwork::address(B).toLatin1() + '\t'));
        QCOMPARE(s(R).logText("Tolvane.log").count(QString::number(shared)), 1);
    }

    // An unsigned datagram of another site names R as its sender on W's LAN, so that W's answer
    // comes to R and is carried back.
    void anUnsignedDatagramNamesTheRelay()
    {
        publishAsB("veltrum/relay/ub/10.9.9.9", "10.9.9.9\tIAM\tfar\t");
        WAIT_FOR(!m_atW.containing("\tIAM\tfar\t").isEmpty());
        QCOMPARE(m_atW.containing("\tIAM\tfar\t")[0].data(),
                 LanNetwork::address(R).toLatin1() + "\tIAM\tfar\t");
    }

    // An answer for a machine R never heard from is not sent: no broker user aims R at an
    // address it chooses.
    void answersGoOnlyToMachinesHeardFrom()
    {
        publishAsB("veltrum/via/ur/" + LanNetwork::address(M) + "/ub", "reflected");
        publishAsB("veltrum/via/ur/" + LanNetwork::address(W) + "/ub", "passed");
        WAIT_FOR(!m_atW.containing("passed").isEmpty());
        QVERIFY(m_atM.containing("reflected").isEmpty());
    }
};

QTEST_GUILESS_MAIN(E2eRelay)
#include "tst_e2e_relay.moc"
