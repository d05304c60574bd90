// Hosts A and B on a LAN of their own: B is down while A shares; B starts, announces itself
// and gets what it missed from A at once, A's receipts naming B; a second announcement gets
// nothing again. A's next Kalvex still knows B, who is down again. A deletes a shared reminder
// on the network meanwhile; when B is back it loses its copy.
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanInstallations.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

#define WAIT_FOR(condition, ms) KV_LAN_WAIT(condition, ms, m_s, 100000)

class E2eLanCatchUp : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    Installations m_s;
    E2eSession* m_a = nullptr;
    E2eSession* m_b = nullptr;
    QStringList m_arrivals; // B's Kalvex tells its tray: kind, author, caption
    QProcess* m_bTray = nullptr;
    qint32 m_toList = 0, m_toAll = 0; // shared by A, B holds both once caught up

private slots:
    void arrived(const QString& kind, int, const QString& author, const QString& caption,
                 const QString&)
    {
        m_arrivals << kind + '|' + author + '|' + caption;
    }

private:
    bool bHolds(qint32 broadcastId) const
    {
        return copyField(*m_b, broadcastId, "COUNT(*)").toInt() == 1;
    }
    qsizetype bAnnounced() const
    {
        return m_b->logText("Tolvane.log").count("SendData: IAM\\tB\\t");
    }
    // A click, or what a control shows, in A's running Kalvex (its test build).
    QVariant onA(const QString& method, const QString& control) const
    {
        return m_a->testHook(method, {control});
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 2);
        const QString failed = installationsOn(*m_net, {"A", "B"}, announcingInstallation(), m_s);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        m_a = m_s[0].get(), m_b = m_s[1].get();
        QVERIFY(m_a->startMonitor());
    }

    void whatBMissedWhileDownReachesItWhenItAnnouncesItself()
    {
        const qint32 toList = m_toList = shareByScript(*m_a, "לרשימה", "B,C");
        const qint32 toAll = m_toAll = shareByScript(*m_a, "לכולם", "ALL");
        QVERIFY(toList != 0);
        QVERIFY(toAll != 0);
        QCOMPARE(sentCount(*m_a, "UPD"), 2);

        KalvexKVClassInterface arrivals(QString(), KalvexBus::objectPath, m_b->bus());
        connect(&arrivals, &KalvexKVClassInterface::SharedReminderArrived, this,
                &E2eLanCatchUp::arrived);
        m_bTray = m_b->startProgram("Tolvane");
        WAIT_FOR(bAnnounced() > 0, 30000);
        QElapsedTimer sinceAnnounced;
        sinceAnnounced.start();
        WAIT_FOR(bHolds(toList) && bHolds(toAll) && receiptsOf(*m_a, toList) == "B\r" &&
                     receiptsOf(*m_a, toAll) == "B\r",
                 2000);
        qInfo("caught up %lld ms after B's announcement", sinceAnnounced.elapsed());
        QCOMPARE(sentCount(*m_a, "UPD"), 4);
        QTRY_COMPARE(m_arrivals, QStringList({"new|A|לרשימה", "new|A|לכולם"}));

        // B again, as after a resume; a question after it shows when A has carried it out.
        QUdpSocket b;
        QVERIFY(m_net->bindIn(1, b));
        const qsizetype answers = sentCount(*m_a, "IAM");
        for (const QByteArray datagram : {"198.18.0.2\tIAM\tB\t", "198.18.0.2\tWHL\t"})
            b.writeDatagram(datagram, QHostAddress(LanNetwork::address(0)), 217);
        WAIT_FOR(sentCount(*m_a, "IAM") > answers, 10000);
        QCOMPARE(sentCount(*m_a, "UPD"), 4);
    }

    // Who acknowledged and who was seen outlive the Kalvex that saw them.
    void aNewKalvexKnowsWhoWasSeen()
    {
        m_bTray->terminate();
        QVERIFY(m_bTray->waitForFinished(10000));
        WAIT_FOR(!m_a->hasOwner(KalvexBus::serviceName), 30000);
        kalvexOn<KalvexKVClassInterface>(m_a->bus())
            ->ShowList(authoredRow(*m_a, m_toAll))
            .waitForFinished();
        QVERIFY2(E2eSession::waitFor([&] {
                     return onA("Text", "LblReceipts") == "אישרו קבלה: B   טרם אישרו: אין";
                 }),
                 qPrintable(onA("Text", "LblReceipts").toString()));
        QVERIFY(onA("Click", "cmdOptList").toBool());
        QVERIFY(E2eSession::waitFor([&] { return onA("Items", "List1") == QStringList{"B"}; }));
        QVERIFY(onA("Click", "cmdCancel").toBool());
    }

    void aDeletionBMissedWhileDownReachesItWhenItIsBack()
    {
        QVERIFY(bHolds(m_toAll));
        QVERIFY(kalvexOn<KalvexKVClassInterface>(m_a->bus())
                    ->DeleteReminder(authoredRow(*m_a, m_toAll), true)
                    .value());
        QCOMPARE(sentCount(*m_a, "DEL"), 1);
        QVERIFY(bHolds(m_toAll));

        const qsizetype announced = bAnnounced();
        m_b->startProgram("Tolvane");
        WAIT_FOR(bAnnounced() > announced, 30000);
        WAIT_FOR(!bHolds(m_toAll), 5000);
        QCOMPARE(sentCount(*m_a, "DEL"), 2);
        QVERIFY(bHolds(m_toList));
    }
};

QTEST_GUILESS_MAIN(E2eLanCatchUp)
#include "tst_e2e_lan_catchup.moc"
