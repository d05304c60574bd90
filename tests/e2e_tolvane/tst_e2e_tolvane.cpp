#include "platform/Clock.h"
#include "platform/ui/WindowDirectory.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/StatusNotifierHost.h"
#include "tests/support/TestFiles.h"
#include "tests/support/XDesktop.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>

static const QString kManager = QStringLiteral("תזכורון ולטרום");
static const QString kMainForm = QStringLiteral("Veltrum Reminder Main Form");

#define CHECK(condition) QVERIFY2(condition, qPrintable(diagnostics()))
#define WAIT_FOR(condition, ms) CHECK(E2eSession::waitFor([&] { return condition; }, ms))

class E2eTolvane : public QObject
{
    Q_OBJECT
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_session;

    void setUp(E2eOptions options = {}, bool withTray = true)
    {
        m_desktop = std::make_unique<XDesktop>();
        QString error;
        QVERIFY2(m_desktop->start(withTray, &error), qPrintable(error));
        options.environment.insert(QStringLiteral("DISPLAY"), m_desktop->display());
        m_session = std::make_unique<E2eSession>(options);
        QVERIFY2(m_session->isReady(), qPrintable(m_session->error()));
        m_session->setIniValue("LAN_Settings", "Port", QString::number(freeUdpPort()));
    }
    // Until the Kalvex it registered and started publishes its next due time, and the icon shows.
    QProcess* startTolvane(bool panel = true)
    {
        QProcess* tolvane = m_session->startProgram(QStringLiteral("Tolvane"));
        const auto up = [&] { return !m_session->iniValue("Reminder", "NextDate").isNull(); };
        const auto drawn = [&] { return icons().size() == 1 && iconColours().dark > 0; };
        const bool ok = E2eSession::waitFor([&] { return up() && (!panel || drawn()); }, 20000);
        return ok && (panel || icons().isEmpty()) ? tolvane : nullptr;
    }
    struct Colours
    {
        int yellow = 0, dark = 0;
    };
    Colours iconColours() const
    {
        Colours c;
        for (quint32 argb :
             icons().isEmpty() ? QList<quint32>() : m_desktop->grab(icons().first())) {
            const int r = qRed(argb), g = qGreen(argb), b = qBlue(argb);
            c.yellow += r > 200 && g > 180 && b < 80;
            c.dark += qMax(r, qMax(g, b)) < 100;
        }
        return c;
    }
    QList<quint32> icons() const { return m_desktop->trayIcons(QStringLiteral("Tolvane")); }
    bool managerOpen() const { return m_session->hasOwner(WindowDirectory::busNameFor(kManager)); }
    bool menuShown() const { return !m_desktop->topLevelWindows("Tolvane").isEmpty(); }
    // Right button on the icon, then the third item, "סגור".
    // "סגור" is second from the bottom, whether or not the alert items show above.
    bool chooseExit()
    {
        return m_desktop->click(icons().value(0), 3) &&
               E2eSession::waitFor([&] { return menuShown(); }) &&
               m_desktop->keys({"Up", "Up", "Return"});
    }
    bool ended(QProcess* tolvane, int timeoutMs = 20000)
    {
        return tolvane->waitForFinished(timeoutMs) &&
               tolvane->exitStatus() == QProcess::NormalExit && tolvane->exitCode() == 0;
    }
    QString tolvaneLog() const { return m_session->logText("Tolvane.log"); }
    QString diagnostics() const { return tolvaneLog() + "\nKalvex.log: " + m_session->logText(); }
    int run(const QString& path, const QStringList& args = {})
    {
        return m_session->runCommand(path, args, 15000).exitCode;
    }

private slots:
    void cleanup() { m_session.reset(), m_desktop.reset(); }

    // Registers Kalvex; the alert comes on time; the icon opens the list; exit asks first.
    void freshInstallationAlertsOnTimeAndExitsFromTheMenu()
    {
        setUp();
        m_session->setEnvironmentValue("KV_PROMPT_ANSWER", "Ok");
        QProcess* tolvane = startTolvane();
        CHECK(tolvane);
        QVERIFY(QFile::exists(m_session->dataHome() + "/dbus-1/services/Kalvex.KVClass.service"));
        QVERIFY(iconColours().yellow > 0); // LAN switches on
        // Due at a whole minute, as the editor sets it: Tolvane wakes for it to the millisecond.
        const Date due = Clock::now().addSeconds(4).withoutSeconds().addMinutes(1);
        m_session->addReminder(due, QStringLiteral("e2e due"));
        kalvexOn<KalvexKVClassInterface>(m_session->bus())->UpdateList().waitForFinished();
        double shownAt = 0;
        CHECK(E2eSession::waitFor(
            [&] {
                shownAt = Clock::preciseSerial();
                return !m_desktop->windowsTitled(QStringLiteral("e2e due")).isEmpty();
            },
            90000));
        const QString shown = QString::number((shownAt - due.serial()) * 86400, 'f', 3) + " s";
        QVERIFY2(shownAt > due.serial(), qPrintable(shown));
        QVERIFY2(shownAt <= due.addSeconds(12).serial(), qPrintable(shown));
        QVERIFY(m_desktop->click(icons().first(), 1, 2));
        WAIT_FOR(managerOpen(), 15000);
        CHECK(chooseExit());
        CHECK(ended(tolvane));
        QVERIFY(m_session->promptLines().contains(kManager + "|האם ברצונך לסגור את התזכורון"));
        WAIT_FOR(!managerOpen(), 10000);
        QCOMPARE(tolvaneLog(), QString());
    }

    // With Kalvex ended and the time published 40 minutes ahead, a row another program adds
    // (the sqlite3 shell), due in seconds, alerts within Tolvane's ticks.
    void aRowAnotherProgramAddsAlertsWithinTheTick()
    {
        setUp();
        m_session->addReminder(Clock::now().addMinutes(40), QStringLiteral("בעוד 40 דקות"));
        CHECK(startTolvane());
        WAIT_FOR(!m_session->hasOwner(KalvexBus::serviceName), 15000);
        const Date due = Clock::now().addSeconds(5);
        CHECK(m_session->shellInsert(due, QStringLiteral("מתוכנית אחרת")));
        WAIT_FOR(!m_desktop->windowsTitled(QStringLiteral("מתוכנית אחרת")).isEmpty(), 40000);
        QCOMPARE(tolvaneLog(), QString());
    }

    // Typed into the manager, then the tray's "סגור": no question about the edit, and the next
    // opening offers it back (answered yes) into the editor.
    void anEditInterruptedByTheTraysExitComesBack()
    {
        setUp();
        m_session->setEnvironmentValue("KV_PROMPT_ANSWER", "Ok"); // the exit's Ok, the offer's Yes
        QProcess* tolvane = startTolvane();
        CHECK(tolvane);
        const qint32 id = m_session->addReminder(Clock::now().addDays(1), QStringLiteral("stored"));
        kalvexOn<KalvexKVClassInterface>(m_session->bus())->ShowList(id).waitForFinished();
        WAIT_FOR(managerOpen(), 15000);
        CHECK(m_session->testHook("SetText", {"CCaption", "typed"}).toBool());
        CHECK(chooseExit());
        CHECK(ended(tolvane));
        WAIT_FOR(!managerOpen(), 10000);
        CHECK(m_session->promptLines() == QStringList{kManager + "|האם ברצונך לסגור את התזכורון"});

        kalvexOn<KalvexKVClassInterface>(m_session->bus())->ShowList(id).waitForFinished();
        WAIT_FOR(m_session->testHook("Text", {"CCaption"}).toString() == "typed", 15000);
        CHECK(m_session->promptLines().contains(
            kManager + "|נמצאה עריכה שלא נשמרה של התזכורת \"typed\": לשחזר?"));
    }

    // Stopped: grey icon; a second start opens the list; a copy elsewhere is refused; log-out ends
    // it.
    void stoppedSecondStartCopyElsewhereAndLogOut()
    {
        setUp();
        m_session->setIniValue("Reminder", "Active", "0");
        QProcess* tolvane = startTolvane();
        CHECK(tolvane);
        QCOMPARE(iconColours().yellow, 0); // grey
        QCOMPARE(m_session->runProgram(QStringLiteral("Tolvane")), 0);
        WAIT_FOR(managerOpen(), 10000);
        const QString elsewhere = m_session->root() + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QFile::copy(m_session->programFile("Tolvane"), elsewhere + "/Tolvane"));
        QCOMPARE(run(elsewhere + "/Tolvane"), 0);
        CHECK(m_session->promptLines().contains(kManager + "|תזכורון ולטרום כבר מופעל ממקום אחר"));
        for (int signal : {SIGTERM, SIGHUP}) {
            tolvane = tolvane ? tolvane : startTolvane();
            CHECK(tolvane);
            ::kill(pid_t(tolvane->processId()), signal);
            QVERIFY(ended(tolvane, 5000));
            QVERIFY(icons().isEmpty());
            QVERIFY(!m_session->hasOwner(WindowDirectory::busNameFor(kMainForm)));
            tolvane = nullptr;
        }
        QCOMPARE(tolvaneLog(), QString());
    }

    // The open question is ended as by Cancel (Abort in the tray), then the request carried out.
    void closeRequestWhileAQuestionIsOpenEndsTolvane()
    {
        for (bool withTray : {false, true}) {
            setUp({}, withTray);
            m_session->setEnvironmentValue("KV_PROMPT_LOG", QString()); // real boxes
            m_session->setEnvironmentValue("KV_TRAY_WAIT_MS", "0");     // no panel to wait for
            QProcess* tolvane = withTray ? startTolvane() : m_session->startProgram("Tolvane");
            CHECK(tolvane);
            if (withTray)
                CHECK(chooseExit());
            WAIT_FOR(!m_desktop->windowsTitled(kManager).isEmpty(), 20000);
            CHECK(run(QStringLiteral(KV_CLOSE_WINDOW), {kMainForm}) == 0);
            QVERIFY(ended(tolvane));
            cleanup();
        }
    }

    void unreachableKalvexIsLoggedAndEndsTolvane()
    {
        setUp(E2eOptions{.programs = {QStringLiteral("Tolvane")}}); // nothing to register
        QProcess* tolvane = m_session->startProgram(QStringLiteral("Tolvane"));
        CHECK(tolvane->waitForFinished(20000));
        QCOMPARE(tolvaneLog().count('\n'), 1);
        CHECK(tolvaneLog().contains(" -> GetKalvex: "));
        CHECK(tolvaneLog().contains("Kalvex.KVClass"));
    }

    void hungKalvexCostsTolvaneBoundedWaits()
    {
        setUp();
        m_session->setEnvironmentValue("KV_PROMPT_ANSWER", "Ok");
        QProcess* tolvane = startTolvane();
        CHECK(tolvane);
        kalvexOn<KalvexKVClassInterface>(m_session->bus())->ShowList(0).waitForFinished();
        WAIT_FOR(managerOpen(), 10000);
        ::kill(pid_t(m_session->ownerPid(KalvexBus::serviceName)), SIGSTOP);
        m_session->setIniValue("Reminder", "NextDate", formatNextDate(Clock::now().addMinutes(-1)));
        WAIT_FOR(tolvaneLog().contains(" -> CheckList: Kalvex did not answer within"), 22000);
        m_session->setIniValue("Reminder", "NextDate", "NULL");
        CHECK(chooseExit());
        CHECK(ended(tolvane));
        CHECK(tolvaneLog().contains(" -> CloseWindowByCaption: \"" + kManager +
                                    "\" did not answer Close"));
    }

    // The bus lacks the display and its activation file names a copy elsewhere:
    // Tolvane hands the display over and registers its own Kalvex.
    void busWithoutDisplayAndStaleActivationFileStillAlert()
    {
        setUp(
            E2eOptions{.notOnBus = {QStringLiteral("DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")}});
        QCOMPARE(run(m_session->copyInstallation("old") + "/Kalvex", {"/REGSERVER"}), 0);
        m_session->addReminder(Clock::now().addMinutes(-1), QStringLiteral("e2e here"));
        CHECK(startTolvane());
        kalvexOn<KalvexKVClassInterface>(m_session->bus())->CheckList().waitForFinished();
        WAIT_FOR(!m_desktop->windowsTitled("e2e here").isEmpty(), 10000);
        QCOMPARE(
            QFileInfo(
                QStringLiteral("/proc/%1/exe").arg(m_session->ownerPid(KalvexBus::serviceName)))
                .canonicalFilePath(),
            QFileInfo(m_session->programFile("Kalvex")).canonicalFilePath());
        QCOMPARE(tolvaneLog(), QString());
    }

    void xembedPanelComingUpLateTakesTheIcon()
    {
        setUp({}, false);
        CHECK(startTolvane(false));
        QString error;
        QVERIFY2(m_desktop->startTrayHost(&error), qPrintable(error));
        WAIT_FOR(icons().size() == 1, 15000);
        QCOMPARE(m_session->promptLines(), QStringList());
    }

    // Yellow pixels of an a(iiay) property (ARGB32, network order).
    static int yellowPixels(const QDBusArgument& images)
    {
        int yellow = 0;
        images.beginArray();
        while (!images.atEnd()) {
            int width = 0, height = 0;
            QByteArray argb;
            images.beginStructure();
            images >> width >> height >> argb;
            images.endStructure();
            for (qsizetype i = 0; i + 3 < argb.size(); i += 4)
                yellow += quint8(argb[i + 1]) > 200 && quint8(argb[i + 2]) > 180 &&
                          quint8(argb[i + 3]) < 80;
        }
        images.endArray();
        return yellow;
    }

    void statusNotifierPanelComingUpLateOpensListAndMenu()
    {
        setUp({}, false);
        CHECK(startTolvane(false));
        StatusNotifierHost host(m_session->bus());
        QVERIFY(host.start());
        WAIT_FOR(!host.items().isEmpty(), 15000);
        QVERIFY(yellowPixels(host.itemProperty("IconPixmap").value<QDBusArgument>()) > 0);
        QCOMPARE(host.itemProperty("Menu").value<QDBusObjectPath>().path(),
                 QString("/NO_DBUSMENU"));

        QCOMPARE(host.callItem("Activate", {0, 0}).type(), QDBusMessage::ReplyMessage);
        WAIT_FOR(managerOpen(), 10000);
        QCOMPARE(host.callItem("ContextMenu", {0, 0}).type(), QDBusMessage::ReplyMessage);
        WAIT_FOR(menuShown(), 10000);
        QCOMPARE(tolvaneLog(), QString());
    }
};

QTEST_MAIN(E2eTolvane)
#include "tst_e2e_tolvane.moc"
