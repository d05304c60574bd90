// Hosts A, B and C, each a network namespace with its own installation, bus and Tolvane:
// A's user shares, edits, narrows and deletes reminders; B and C keep in step. What A keeps
// private never goes out.
#include "common/WindowCaptions.h"
#include "platform/Clock.h"
#include "platform/ui/WindowDirectory.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/LanInstallations.h"
#include "tests/support/XDesktop.h"

#include <QDBusArgument>
#include <QProcess>
#include <QTest>

struct Host
{
    E2eSession* s = nullptr;

    void showList() const
    {
        kalvexOn<KalvexKVClassInterface>(s->bus())->ShowList(0).waitForFinished();
    }
    std::unique_ptr<KalvexKVClassDebugInterface> debug() const
    {
        return runningKalvexOn<KalvexKVClassDebugInterface>(s->bus());
    }
    // A click or typing of the test build, carried out after the call returns, in order.
    bool hook(const QString& method, const QVariantList& args) const
    {
        return s->testHook(method, args).toBool();
    }
    bool click(const QString& control) const { return hook("Click", {control}); }
    bool windowOpen(const QString& objectName) const
    {
        return debug()->Windows().value().contains(objectName);
    }
    QVariant sql(const QString& query, const QVariantList& params = {}) const
    {
        return s->scalarSql(query, params);
    }
    // The received copy of a shared reminder: "RMain_Id|RCaption", or "" when none.
    QString copy(qint32 broadcastId) const
    {
        return sql("SELECT RMain_Id || '|' || RCaption FROM Main_tbl "
                   "WHERE BroadcastId = ? AND IAMAuthor = 0 AND RNext = RDate",
                   {broadcastId})
            .toString();
    }
    bool logged(const QString& text, const QString& log = "Kalvex.log") const
    {
        return s->logText(log).contains(text);
    }
};

#define WAIT_FOR KV_WAIT_FOR

class E2eLan : public QObject
{
    Q_OBJECT
    std::unique_ptr<LanNetwork> m_net;
    std::unique_ptr<XDesktop> m_desktop;
    Installations m_s;
    Host m_hosts[3];
    Host& A = m_hosts[0];
    Host& B = m_hosts[1];
    Host& C = m_hosts[2];

    QString diagnostics() const { return logsOf(m_s, 100000); }
    qint32 broadcastId(qint32 id) const
    {
        return A.sql("SELECT BroadcastId FROM Main_tbl WHERE RMain_Id = ?", {id}).toInt();
    }
    // The names that acknowledged A's reminder, sorted.
    QString receivedBy(qint32 id) const
    {
        QStringList names = A.sql("SELECT ReceivedBy FROM Main_tbl WHERE RMain_Id = ?", {id})
                                .toString()
                                .split('\r', Qt::SkipEmptyParts);
        names.sort();
        return names.join(',');
    }
    // Sends A's current reminder from its manager window to the audience given.
    void share(const QString& audience, const QString& moveFirst = QString())
    {
        A.showList();
        if (!moveFirst.isEmpty())
            QVERIFY(A.click(moveFirst));
        QVERIFY(A.click(audience));
        QVERIFY(A.click("cmdSave"));
    }
    void closeManager() const { A.debug()->CloseWindows("RMain").waitForFinished(); }
    // Saves A's options with the text typed into a box, waiting for the window to close.
    void saveOptions(const QString& box, const QString& text)
    {
        const auto optionsOpen = [&] { return A.windowOpen("FrmLANOpt"); };
        A.showList();
        QVERIFY(A.click("cmdDefinitions"));
        QVERIFY(E2eSession::waitFor(optionsOpen));
        QVERIFY(A.hook("SetText", {box, text}));
        QVERIFY(A.click("cmdSave"));
        WAIT_FOR(!optionsOpen());
    }
    qint64 monitorPid() const
    {
        return A.s->ownerPid(WindowDirectory::busNameFor("Veltrum Reminder Main Form"));
    }

private slots:
    void initTestCase()
    {
        KV_MAKE_LAN_NETWORK(m_net, 3);
        m_desktop = std::make_unique<XDesktop>();
        QString error;
        QVERIFY2(m_desktop->start(true, &error), qPrintable(error));
        const QString failed = installationsOn(
            *m_net, {"A", "B", "C"},
            {.environment = {{"DISPLAY", m_desktop->display()}, {"KV_PROMPT_ANSWER", "Yes"}}}, m_s);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        for (int h = 0; h < 3; ++h)
            m_hosts[h].s = m_s[h].get();
        // A's own reminders never fall due on A: its monitor is stopped.
        A.s->setIniValue("Reminder", "Active", "0");
        for (Host& host : m_hosts)
            QVERIFY2(host.s->startMonitor(), qPrintable(diagnostics()));
    }

    // A's recipient list asks the network until somebody answered: B and C answer from their
    // hosts and are listed sorted, at the latest at a later opening, which asks no more.
    void recipientListFindsTheOtherOffices()
    {
        const auto available = [&] {
            A.showList();
            QStringList names{"not opened"};
            if (A.click("cmdOptList") &&
                E2eSession::waitFor([&] { return A.windowOpen("frmList"); }))
                names = A.s->testHook("Items", {"List1"}).toStringList();
            A.click("cmdCancel");
            E2eSession::waitFor([&] { return !A.windowOpen("frmList"); });
            return names;
        };
        const auto asked = [&] { return sentCount(*A.s, "WHL"); };
        available();
        WAIT_FOR(asked() == 1);
        for (const Host* host : {&B, &C})
            WAIT_FOR(host->logged("198.18.0.1\\tWHL", "Tolvane.log"));
        WAIT_FOR(available() == QStringList({"B", "C"}));
        const qsizetype before = asked();
        QCOMPARE(available(), QStringList({"B", "C"}));
        QCOMPARE(asked(), before);
        closeManager();
    }

    void twoOfficesShareReminders()
    {
        // R1 is due already, R2 tomorrow: the list shows R1 first.
        const qint32 r1 = A.s->addReminder(Clock::now().withoutSeconds().addMinutes(-1), "ישיבה");
        const qint32 r2 = A.s->addReminder(Clock::now().addDays(1), "מחר");

        // To everybody: B and C store copies and acknowledge; A drops its own echo.
        share("OptSend_0");
        WAIT_FOR(receivedBy(r1) == "B,C");
        const qint32 id1 = broadcastId(r1);
        const QString copyB = B.copy(id1), copyC = C.copy(id1);
        QVERIFY(copyB.endsWith("|ישיבה"));
        QVERIFY(copyC.endsWith("|ישיבה"));
        QVERIFY(A.logged("DataArrival: 198.18.0.1\\tUPD", "Tolvane.log"));
        QCOMPARE(A.sql("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 0").toInt(), 0);
        QVERIFY(!A.logged("SendData: ACK"));

        // The copy falls due on B through B's own monitor.
        const qint32 copyIdB = copyB.section('|', 0, 0).toInt();
        WAIT_FOR(B.debug()->AlertIds().value().contains(copyIdB));

        // Edited and sent again: the same rows change, the acknowledgements start afresh.
        closeManager();
        A.sql("UPDATE Main_tbl SET RCaption = 'ישיבה 2' WHERE RMain_Id = ?", {r1});
        share("OptSend_0");
        WAIT_FOR(B.copy(id1) == copyB.section('|', 0, 0) + "|ישיבה 2");
        WAIT_FOR(C.copy(id1) == copyC.section('|', 0, 0) + "|ישיבה 2");
        WAIT_FOR(receivedBy(r1) == "B,C");

        // To the list "B": C stores nothing and answers nothing.
        closeManager();
        A.sql("UPDATE Main_tbl SET RCaption = 'רק לב', SentTo = ? WHERE RMain_Id = ?",
              {QString("B\r"), r1});
        share("OptSend_1");
        WAIT_FOR(B.copy(id1).endsWith("|רק לב"));
        WAIT_FOR(C.logged("DataArrival: 198.18.0.1\\tUPD\\tB\\r", "Tolvane.log"));
        QVERIFY(C.copy(id1).endsWith("|ישיבה 2"));
        WAIT_FOR(receivedBy(r1) == "B");

        // R2 to everybody, then deleted on the network: both copies go.
        share("OptSend_0", "cmdMoveRS_0");
        WAIT_FOR(receivedBy(r2) == "B,C");
        const qint32 id2 = broadcastId(r2);
        QVERIFY(A.click("cmdDelete"));
        WAIT_FOR(broadcastId(r2) == 0);
        WAIT_FOR(B.copy(id2).isEmpty());
        WAIT_FOR(C.copy(id2).isEmpty());
        QVERIFY(A.s->promptLines().contains("תזכורון ולטרום|האם למחוק ברשת"));

        // Receiving off on C, "No" to A's network question (Kalvex restarted with the answer).
        C.s->setIniValue("LAN_Settings", "OptReceive", "0");
        closeManager();
        WAIT_FOR(!A.s->hasOwner(KalvexBus::serviceName));
        A.s->setEnvironmentValue("KV_PROMPT_ANSWER", "No");
        A.sql("UPDATE Main_tbl SET RCaption = 'אחרון' WHERE RMain_Id = ?", {r1});
        share("OptSend_0");
        WAIT_FOR(B.copy(id1).endsWith("|אחרון"));
        WAIT_FOR(receivedBy(r1) == "B");
        WAIT_FOR(C.logged("\\tUPD\\tALL\\t" + QString::number(id1) + "\\tאחרון", "Tolvane.log"));
        QVERIFY(C.copy(id1).endsWith("|ישיבה 2"));
        QVERIFY(A.click("cmdDelete"));
        WAIT_FOR(broadcastId(r1) == 0);
        QVERIFY(!A.logged(QString("SendData: DEL\\t%1").arg(id1)));
        QVERIFY(!B.copy(id1).isEmpty());
        QVERIFY(!C.copy(id1).isEmpty());
        for (const Host& host : m_hosts)
            for (const char* fault : {"הודעה פגומה", "WS_LAN_Send"})
                QVERIFY2(!host.logged(fault), qPrintable(diagnostics()));
    }

    // A Hebrew yearly series typed into A's editor (27 Kislev 5788, 27 December 2027) reaches B
    // whole; the first 19 fields, all a Windows peer reads, make it one-time at that date.
    void aHebrewSeriesFromTheEditorReachesAnotherOfficeWhole()
    {
        A.showList();
        for (const auto& [method, args] : QList<std::pair<QString, QVariantList>>{
                 {"Click", {"cmdNew"}},
                 {"SetText", {"CCaption", "יום הולדת"}},
                 {"SetDateTime", {"CDate1", "2027-12-27T00:00"}},
                 {"SetDateTime", {"CDate2", "2000-01-01T09:00"}},
                 {"Choose", {"CEventType", 9}}, // "כל שנה עברית"
                 {"Click", {"cmdNew"}}})        // "שמור כחדש"
            QVERIFY2(A.hook(method, args), qPrintable(method + ' ' + args.value(0).toString()));
        const auto saved = [&] {
            return A.sql("SELECT RMain_Id FROM Main_tbl WHERE RCaption = 'יום הולדת'").toInt();
        };
        WAIT_FOR(saved() > 0);
        closeManager(); // reopened on the first due, this one
        share("OptSend_0");
        WAIT_FOR(broadcastId(saved()) != 0);
        const qint32 id = broadcastId(saved());
        WAIT_FOR(!B.copy(id).isEmpty()); // C receives nothing since the test above
        QCOMPARE(
            B.sql("SELECT REventType || '|' || Adv_PeriodN || '|' || Adv_HebrewMonth || '|' || "
                  "Adv_HebrewDay FROM Main_tbl WHERE BroadcastId = ?",
                  {id})
                .toString(),
            QString("160|1|2|27"));
        QVERIFY(B.logged(QString::number(id) + "\\tיום הולדת\\t271220270900\\t0\\t0\\t",
                         "Tolvane.log"));
        closeManager();
    }

    // The reminder shown is shared with everybody; Ctrl+N, a title, Ctrl+S: nothing goes out
    // before the marker shared next.
    void aNewReminderAfterASharedOneStaysPrivate()
    {
        const auto rows = [&] { return A.sql("SELECT COUNT(*) FROM Main_tbl").toInt(); };
        const auto text = [&](const char* control) {
            return A.s->testHook("Text", {control}).toString();
        };
        const int before = rows();
        const qsizetype updates = sentCount(*A.s, "UPD");
        A.showList(); // the Hebrew series, shared with everybody
        WAIT_FOR(
            m_desktop->windowsTitled(managerWindowCaption()).contains(m_desktop->focusedWindow()));
        QVERIFY(m_desktop->keys({"ctrl+n"}));
        WAIT_FOR(text("LStatus") == " הוספת תזכורת חדשה");
        QVERIFY(A.hook("SetText", {"CCaption", "פרטית"}));
        WAIT_FOR(text("CCaption") == "פרטית");
        QVERIFY(m_desktop->keys({"ctrl+s"}));
        WAIT_FOR(rows() == before + 1);
        const qint32 marker = shareByScript(*A.s, "marker", "ALL");
        WAIT_FOR(!B.copy(marker).isEmpty());
        QCOMPARE(sentCount(*A.s, "UPD"), updates + 1);
        closeManager();
    }

    // A new nickname leaves A's Tolvane running; a new port restarts it on that port.
    void optionsRestartTheMonitorForANewPort()
    {
        const qint64 first = monitorPid();
        QVERIFY(first != 0);
        saveOptions("txtNick", "A2");
        QCOMPARE(A.s->iniValue("LAN_Settings", "Nick"), "A2");
        QCOMPARE(monitorPid(), first);

        saveOptions("txtPort", "5217");
        WAIT_FOR(monitorPid() != first);
        WAIT_FOR(monitorPid() != 0); // the new one
        WAIT_FOR(!E2eSession::processAlive(first));
        QVERIFY(E2eSession::waitFor([&] {
            QProcess ss;
            ss.start(m_net->launcher(0).value(0),
                     m_net->launcher(0).mid(1) + QStringList{"ss", "-Hulnp", "sport = :5217"});
            ss.waitForFinished();
            return ss.readAll().contains(QString("pid=%1,").arg(monitorPid()).toUtf8());
        }));
    }
};

QTEST_GUILESS_MAIN(E2eLan)
#include "tst_e2e_lan.moc"
