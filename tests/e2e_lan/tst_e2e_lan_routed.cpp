// Installations A and B (the real Kalvex and Tolvane) on two subnets joined by a router: no
// broadcast of one reaches the other, but the extra addresses do, by the other's subnet, its
// address or its name, and the answers find their way back to where the datagrams came from.
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanInstallations.h"

#include <QTest>

namespace {
enum Host { A, B };
const QString kBsName = QStringLiteral("colleague-b.branch.example");
} // namespace

#define WAIT_FOR(condition, ms) KV_LAN_WAIT(condition, ms, m_s)

class E2eLanRouted : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    Installations m_s;

    E2eSession& s(Host h) const { return *m_s[h]; }
    int copiesAtB(qint32 broadcastId) const
    {
        return copyField(s(B), broadcastId, "COUNT(*)").toInt();
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 2, LanNetwork::Routed{});
        QVERIFY(m_net->setHostsFile(A, LanNetwork::routedAddress(B).toLatin1() + ' ' +
                                           kBsName.toLatin1() + '\n'));
        const QString failed = installationsOn(*m_net, {"A", "B"}, announcingInstallation(), m_s);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QVERIFY(s(A).startMonitor());
    }

    // B's monitor announces itself to A's address too: A learns of B.
    void theAnnouncementReachesTheOtherSubnet()
    {
        s(B).setIniValue("LAN_Settings", "ExtraAddresses", LanNetwork::routedAddress(A));
        s(B).startProgram("Tolvane");
        WAIT_FOR(s(A).logText("Kalvex.colleagues").startsWith("B\t"), 30000);
    }

    // A share broadcast alone stays in A's subnet; with B's subnet, address or name among the
    // extra addresses it reaches B, and B's receipt comes back to A. A name that does not
    // resolve is told once and the others are still sent to; a deletion goes the same way.
    void sharesReachTheOtherSubnet()
    {
        const qint32 unsent = shareByScript(s(A), "רק ברשת של א", "ALL");
        qint32 last = 0;
        for (const QString& extra : {LanNetwork::routedSubnet(B), LanNetwork::routedAddress(B),
                                     "nowhere.invalid," + kBsName}) {
            s(A).setIniValue("LAN_Settings", "ExtraAddresses", extra);
            last = shareByScript(s(A), "אל " + extra, "ALL");
            WAIT_FOR(copiesAtB(last) == 1, 20000);
            WAIT_FOR(receiptsOf(s(A), last) == "B\r", 10000);
        }
        QCOMPARE(copiesAtB(unsent), 0);
        QVERIFY(kalvexOn<KalvexKVClassInterface>(s(A).bus())
                    ->DeleteReminder(authoredRow(s(A), last), true)
                    .value());
        WAIT_FOR(copiesAtB(last) == 0, 20000);
        QCOMPARE(s(A).logText().count("ExtraAddresses: nowhere.invalid not sent to"), 1);
    }
};

QTEST_GUILESS_MAIN(E2eLanRouted)
#include "tst_e2e_lan_routed.moc"
