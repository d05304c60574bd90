// Installations A and B (the real Kalvex and Tolvane) on two subnets joined by a router: no
// broadcast of one reaches the other, but the extra addresses do, by the other's subnet, its
// address or its name, and the answers find their way back to where the datagrams came from.
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanNetwork.h"

#include <QTest>

namespace {
enum Host { A, B };
const QString kBsName = QStringLiteral("colleague-b.branch.example");
} // namespace

class E2eLanRouted : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<E2eSession> m_s[2];

    E2eSession& s(Host h) const { return *m_s[h]; }
    bool toldUnless(bool condition) const
    {
        if (!condition)
            qInfo("%s", qPrintable(logsOf({m_s[A].get(), m_s[B].get()})));
        return condition;
    }
    // A's reminder shared with everybody: its row and its BroadcastId.
    std::pair<qint32, qint32> share(const QString& caption) const
    {
        const qint32 id = kalvexOn<KalvexKVClassInterface>(s(A).bus())
                              ->AddReminder(caption, "2099-12-31T09:00", "", 0, 0, "ALL")
                              .value();
        return {
            id,
            s(A).scalarSql("SELECT BroadcastId FROM Main_tbl WHERE RMain_Id = ?", {id}).toInt()};
    }
    int copiesAtB(qint32 broadcastId) const
    {
        return s(B)
            .scalarSql("SELECT COUNT(*) FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 0",
                       {broadcastId})
            .toInt();
    }
    QString receivedBy(qint32 broadcastId) const
    {
        return s(A)
            .scalarSql("SELECT ReceivedBy FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 1",
                       {broadcastId})
            .toString();
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 2, LanNetwork::Routed{});
        QVERIFY(m_net->setHostsFile(A, LanNetwork::routedAddress(B).toLatin1() + ' ' +
                                           kBsName.toLatin1() + '\n'));
        for (const Host h : {A, B}) {
            m_s[h] = installationOn(*m_net, h, h == A ? "A" : "B", announcingInstallation());
            QVERIFY2(s(h).isReady(), qPrintable(s(h).error()));
        }
        QVERIFY(s(A).startMonitor());
    }

    // B's monitor announces itself to A's address too: A learns of B.
    void theAnnouncementReachesTheOtherSubnet()
    {
        s(B).setIniValue("LAN_Settings", "ExtraAddresses", LanNetwork::routedAddress(A));
        s(B).startProgram("Tolvane");
        QVERIFY(toldUnless(E2eSession::waitFor(
            [&] { return s(A).logText("Kalvex.colleagues").startsWith("B\t"); }, 30000)));
    }

    // A share broadcast alone stays in A's subnet; with B's subnet, address or name among the
    // extra addresses it reaches B, and B's receipt comes back to A. A name that does not
    // resolve is told once and the others are still sent to; a deletion goes the same way.
    void sharesReachTheOtherSubnet()
    {
        const qint32 unsent = share("רק ברשת של א").second;
        const QList<QString> extras = {LanNetwork::routedSubnet(B), LanNetwork::routedAddress(B),
                                       "nowhere.invalid," + kBsName};
        std::pair<qint32, qint32> last;
        for (const QString& extra : extras) {
            s(A).setIniValue("LAN_Settings", "ExtraAddresses", extra);
            last = share("אל " + extra);
            const qint32 id = last.second;
            QVERIFY(toldUnless(E2eSession::waitFor([&] { return copiesAtB(id) == 1; }, 20000)));
            QVERIFY(toldUnless(E2eSession::waitFor([&] { return receivedBy(id) == "B\r"; })));
        }
        QCOMPARE(copiesAtB(unsent), 0);
        QVERIFY(
            kalvexOn<KalvexKVClassInterface>(s(A).bus())->DeleteReminder(last.first, true).value());
        QVERIFY(
            toldUnless(E2eSession::waitFor([&] { return copiesAtB(last.second) == 0; }, 20000)));
        QCOMPARE(s(A).logText().count("ExtraAddresses: nowhere.invalid not sent to"), 1);
    }
};

QTEST_GUILESS_MAIN(E2eLanRouted)
#include "tst_e2e_lan_routed.moc"
