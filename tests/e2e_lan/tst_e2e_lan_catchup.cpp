// Hosts A and B on a LAN of their own: B is down while A shares; B starts, announces itself
// and gets what it missed from A at once, A's receipts naming B; a second announcement gets
// nothing again. A's next Kalvex still knows B, who is down again. A deletes a shared reminder
// on the network meanwhile; when B is back it loses its copy.
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanNetwork.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

class E2eLanCatchUp : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<E2eSession> m_a, m_b;
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
    QString diagnostics() const { return logsOf({m_a.get(), m_b.get()}, 100000); }
    std::unique_ptr<E2eSession> host(int h, const QString& nick)
    {
        return installationOn(*m_net, h, nick,
                              {.environment = {{"KV_PROMPT_ANSWER", "Ignore"},
                                               {"KV_TRAY_WAIT_MS", "100"},
                                               {"KV_ANNOUNCE_TO", "255.255.255.255"}}});
    }
    qint32 share(const QString& caption, const QString& audience) const
    {
        return shareByScript(*m_a, caption, audience);
    }
    bool receivedByB(qint32 broadcastId) const
    {
        return m_a->scalarSql("SELECT ReceivedBy FROM Main_tbl WHERE BroadcastId = ?",
                              {broadcastId}) == QVariant("B\r");
    }
    bool bHolds(qint32 broadcastId) const
    {
        return copyField(*m_b, broadcastId, "COUNT(*)").toInt() == 1;
    }
    qsizetype sent(const QString& what) const { return m_a->logText().count("SendData: " + what); }
    // A click, or what a control shows, in A's running Kalvex (its test build).
    QVariant onA(const QString& method, const QString& control) const
    {
        return testHook(*m_a, method, {control});
    }
    void stopB()
    {
        m_bTray->terminate();
        QVERIFY(m_bTray->waitForFinished(10000));
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 2);
        m_a = host(0, "A");
        m_b = host(1, "B");
        QVERIFY2(m_a->isReady(), qPrintable(m_a->error()));
        QVERIFY2(m_b->isReady(), qPrintable(m_b->error()));
        QVERIFY(m_a->startMonitor());
    }

    void whatBMissedWhileDownReachesItWhenItAnnouncesItself()
    {
        const qint32 toList = m_toList = share("לרשימה", "B,C");
        const qint32 toAll = m_toAll = share("לכולם", "ALL");
        QVERIFY(toList != 0);
        QVERIFY(toAll != 0);
        QCOMPARE(sent("UPD"), 2);

        KalvexKVClassInterface arrivals(QString(), KalvexBus::objectPath, m_b->bus());
        connect(&arrivals, &KalvexKVClassInterface::SharedReminderArrived, this,
                &E2eLanCatchUp::arrived);
        m_bTray = m_b->startProgram("Tolvane");
        QVERIFY2(E2eSession::waitFor(
                     [&] { return m_b->logText("Tolvane.log").contains("SendData: IAM\\tB\\t"); },
                     30000),
                 qPrintable(diagnostics()));
        QElapsedTimer sinceAnnounced;
        sinceAnnounced.start();
        const auto caughtUp = [&] {
            return bHolds(toList) && bHolds(toAll) && receivedByB(toList) && receivedByB(toAll);
        };
        QVERIFY2(E2eSession::waitFor(caughtUp, 2000), qPrintable(diagnostics()));
        qInfo("caught up %lld ms after B's announcement", sinceAnnounced.elapsed());
        QCOMPARE(sent("UPD"), 4);
        QTRY_COMPARE(m_arrivals, QStringList({"new|A|לרשימה", "new|A|לכולם"}));

        // B again, as after a resume; a question after it shows when A has carried it out.
        QUdpSocket b;
        QVERIFY(m_net->bindIn(1, b));
        const qsizetype answers = sent("IAM");
        for (const QByteArray datagram : {"198.18.0.2\tIAM\tB\t", "198.18.0.2\tWHL\t"})
            b.writeDatagram(datagram, QHostAddress(LanNetwork::address(0)), 217);
        QVERIFY2(E2eSession::waitFor([&] { return sent("IAM") > answers; }),
                 qPrintable(diagnostics()));
        QCOMPARE(sent("UPD"), 4);
    }

    // Who acknowledged and who was seen outlive the Kalvex that saw them.
    void aNewKalvexKnowsWhoWasSeen()
    {
        stopB();
        QVERIFY(E2eSession::waitFor([&] { return !m_a->hasOwner(KalvexBus::serviceName); }, 30000));
        const qint32 id =
            m_a->scalarSql("SELECT RMain_Id FROM Main_tbl WHERE BroadcastId = ?", {m_toAll})
                .toInt();
        kalvexOn<KalvexKVClassInterface>(m_a->bus())->ShowList(id).waitForFinished();
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
        const qint32 id =
            m_a->scalarSql("SELECT RMain_Id FROM Main_tbl WHERE BroadcastId = ?", {m_toAll})
                .toInt();
        QVERIFY(kalvexOn<KalvexKVClassInterface>(m_a->bus())->DeleteReminder(id, true).value());
        QCOMPARE(sent("DEL"), 1);
        QVERIFY(bHolds(m_toAll));

        const qsizetype announced = m_b->logText("Tolvane.log").count("SendData: IAM\\tB\\t");
        m_b->startProgram("Tolvane");
        QVERIFY2(E2eSession::waitFor(
                     [&] {
                         return m_b->logText("Tolvane.log").count("SendData: IAM\\tB\\t") >
                                announced;
                     },
                     30000),
                 qPrintable(diagnostics()));
        QVERIFY2(E2eSession::waitFor([&] { return !bHolds(m_toAll); }, 5000),
                 qPrintable(diagnostics()));
        QCOMPARE(sent("DEL"), 2);
        QVERIFY(bHolds(m_toList));
    }
};

QTEST_GUILESS_MAIN(E2eLanCatchUp)
#include "tst_e2e_lan_catchup.moc"
