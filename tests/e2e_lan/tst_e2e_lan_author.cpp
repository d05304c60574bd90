// The author's own reminders on a LAN of two hosts: A's real Kalvex, its windows on Xvfb, and a
// listener on B that catches every datagram A sends. What A keeps private never goes out.
#include "common/WindowCaptions.h"
#include "platform/Clock.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanInstallations.h"
#include "tests/support/XDesktop.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

namespace {

constexpr quint16 kPort = 20217;

} // namespace

class E2eLanAuthor : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_a;
    std::unique_ptr<QUdpSocket> m_b; // every datagram A sends

    QString text(const QString& control) const
    {
        return m_a->testHook("Text", {control}).toString();
    }
    int rows() const { return m_a->scalarSql("SELECT COUNT(*) FROM Main_tbl").toInt(); }
    // The next datagram B receives, in A's code page read as Latin-1: its ASCII parts compare.
    QByteArray nextAtB()
    {
        if (!m_b->hasPendingDatagrams() &&
            !E2eSession::waitFor([&] { return m_b->hasPendingDatagrams(); }, 10000))
            return {};
        return m_b->receiveDatagram().data();
    }
    // A marker that surely goes out after whatever A did before: a datagram sent before it
    // arrives before it.
    void sendMarker() const
    {
        kalvexOn<KalvexKVClassInterface>(m_a->bus())
            ->AddReminder("marker", "2099-12-31T09:00", "", 0, 0, "ALL")
            .waitForFinished();
    }
    // A reminder of A's that A shared with everybody under the identity.
    qint32 sharedByA(const QString& caption, qint32 broadcastId, const Date& due)
    {
        const qint32 id = m_a->addReminder(due, caption);
        m_a->scalarSql("UPDATE Main_tbl SET IAMAuthor = 1, BroadcastId = ? WHERE RMain_Id = ?",
                       {broadcastId, id});
        return id;
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 2);
        m_desktop = std::make_unique<XDesktop>();
        QString error;
        QVERIFY2(m_desktop->start(false, &error), qPrintable(error));
    }

    void init()
    {
        m_a = installationOn(
            *m_net, 0, "A",
            {.environment = {{"DISPLAY", m_desktop->display()}}, .programs = {"Kalvex"}});
        QVERIFY2(m_a->isReady(), qPrintable(m_a->error()));
        m_a->setIniValue("LAN_Settings", "Port", QString::number(kPort));
        m_b = std::make_unique<QUdpSocket>();
        QVERIFY(m_net->listenIn(1, *m_b, kPort));
    }
    void cleanup() { m_b.reset(), m_a.reset(); }

    // The reminder shown is shared with everybody; Ctrl+N, a title, save: nothing goes out.
    void aNewReminderAfterASharedOneStaysPrivate()
    {
        sharedByA("לכולם", 4321, Clock::now().addDays(1));
        kalvexOn<KalvexKVClassInterface>(m_a->bus())->ShowList(0).waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(
            m_desktop->windowsTitled(managerWindowCaption()).contains(m_desktop->focusedWindow()),
            10000);
        QVERIFY(m_desktop->keys({"ctrl+n"}));
        QTRY_COMPARE(text("LStatus"), " הוספת תזכורת חדשה");
        QVERIFY(m_a->testHook("SetText", {"CCaption", "פרטית"}).toBool());
        QTRY_COMPARE(text("CCaption"), "פרטית");
        QVERIFY(m_desktop->keys({"ctrl+s"}));
        QTRY_COMPARE(rows(), 2);
        sendMarker();
        QVERIFY2(nextAtB().contains("\tmarker\t"), qPrintable(logsOf({m_a.get()})));
        QCOMPARE(sentCount(*m_a, "UPD"), 1);
    }
};

QTEST_GUILESS_MAIN(E2eLanAuthor)
#include "tst_e2e_lan_author.moc"
