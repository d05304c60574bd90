// Tolvane end to end: both real programs in a temporary program directory, a
// private session bus, Xvfb with trayer as the tray host.
#include "Clock.h"
#include "E2eSession.h"
#include "FreePort.h"
#include "StatusNotifierHost.h"
#include "WindowDirectory.h"
#include "XDesktop.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>

namespace {

const QString kManager = QStringLiteral("תזכורון ולטרום");
const QString kMainForm = QStringLiteral("Veltrum Reminder Main Form");

struct Colours
{
    int yellow = 0;
    int saturated = 0; // any clearly coloured pixel
    int dark = 0;
};

Colours coloursOf(const WindowPixels& pixels)
{
    Colours c;
    for (quint32 argb : pixels.argb) {
        const int r = qRed(argb), g = qGreen(argb), b = qBlue(argb);
        c.yellow += r > 200 && g > 180 && b < 80;
        c.saturated += qMax(r, qMax(g, b)) - qMin(r, qMin(g, b)) > 40;
        c.dark += qMax(r, qMax(g, b)) < 100;
    }
    return c;
}

} // namespace

class E2eTolvane : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void freshInstallationRegistersKalvexAndAlertsOnTime();
    void stoppedStartSecondStartAndCopyElsewhere();
    void mouseOnIconAndExitCommand();
    void closeRequestWhileAQuestionIsOpenEndsTolvane_data();
    void closeRequestWhileAQuestionIsOpenEndsTolvane();
    void unreachableKalvexIsLoggedAndEndsTolvane();
    void hungKalvexCostsTolvaneBoundedWaits();
    void busWithoutDisplayAndStaleActivationFileStillAlert();
    void xembedPanelComingUpLateTakesTheIcon();
    void statusNotifierPanelComingUpLateOpensListAndMenu();
    void logOutSignalEndsTolvane_data() { E2eSession::addLogOutSignalRows(); }
    void logOutSignalEndsTolvane();

private:
    void setUp(E2eOptions options = {}, bool withTray = true);
    // The exit code of CloseWindow sending the close request to the title.
    int requestClose(const QString& title);
    // Starts Tolvane without a panel and waits until its load is done.
    QProcess* startTolvaneWithoutPanel();
    // Starts Tolvane and waits until its icon is drawn in the tray and
    // Kalvex, registered and started by it, has published the next due time.
    QProcess* startTolvane();
    Colours iconColours() const;
    QList<quint32> icons() const { return m_desktop->trayIcons(QStringLiteral("Tolvane")); }
    bool managerOpen() const { return m_session->hasOwner(WindowDirectory::busNameFor(kManager)); }
    bool tolvaneLogged(const QString& text) const
    {
        return m_session->logContains(text, "Tolvane.log");
    }
    bool chooseExit();
    // Exit through the menu; true once Tolvane has ended.
    bool exitThroughMenu(QProcess* tolvane);
    QString diagnostics() const;

    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_session;
};

void E2eTolvane::setUp(E2eOptions options, bool withTray)
{
    m_desktop = std::make_unique<XDesktop>();
    QString error;
    QVERIFY2(m_desktop->start(withTray, &error), qPrintable(error));
    options.platform = QStringLiteral("xcb");
    options.environment.insert(QStringLiteral("DISPLAY"), m_desktop->display());
    m_session = std::make_unique<E2eSession>(options);
    QVERIFY2(m_session->isReady(), qPrintable(m_session->error()));
    // A LAN port of its own, so the receiver never meets another test's.
    m_session->setIniValue("LAN_Settings", "Port", QString::number(freeUdpPort()));
}

int E2eTolvane::requestClose(const QString& title)
{
    QProcess request;
    request.setProcessEnvironment(m_session->environment());
    request.start(QStringLiteral(KV_CLOSE_WINDOW), {title});
    return request.waitForFinished(15000) ? request.exitCode() : -1;
}

void E2eTolvane::cleanup()
{
    m_session.reset();
    m_desktop.reset();
}

QProcess* E2eTolvane::startTolvane()
{
    QProcess* tolvane = m_session->startProgram(QStringLiteral("Tolvane"));
    const bool up = E2eSession::waitFor(
        [&] {
            return icons().size() == 1 && iconColours().dark > 0 &&
                   !m_session->iniValue("Reminder", "NextDate").isNull();
        },
        20000);
    return up ? tolvane : nullptr;
}

QProcess* E2eTolvane::startTolvaneWithoutPanel()
{
    QProcess* tolvane = m_session->startProgram(QStringLiteral("Tolvane"));
    const bool loaded = E2eSession::waitFor(
        [&] { return !m_session->iniValue("Reminder", "NextDate").isNull(); }, 20000);
    return loaded && icons().isEmpty() ? tolvane : nullptr;
}

// The icon window once the icon is painted on it (dark hands and marks).
Colours E2eTolvane::iconColours() const
{
    const QList<quint32> found = icons();
    return found.isEmpty() ? Colours{} : coloursOf(m_desktop->grab(found.first()));
}

// Right button on the icon, then the third item, "סגור".
bool E2eTolvane::chooseExit()
{
    return m_desktop->click(icons().value(0), 3) && E2eSession::waitFor([&] {
               return !m_desktop->topLevelWindows(QStringLiteral("Tolvane")).isEmpty();
           }) &&
           m_desktop->keys({"Down", "Down", "Down", "Return"});
}

bool E2eTolvane::exitThroughMenu(QProcess* tolvane)
{
    return chooseExit() &&
           E2eSession::waitFor([&] { return tolvane->state() == QProcess::NotRunning; }, 20000);
}

QString E2eTolvane::diagnostics() const
{
    return "Tolvane.log: " + m_session->logLines("Tolvane.log").join(" | ") +
           "\nKalvex.log: " + m_session->logLines().join(" | ");
}

void E2eTolvane::freshInstallationRegistersKalvexAndAlertsOnTime()
{
    setUp();
    const QString activationFile =
        m_session->dataHome() + QStringLiteral("/dbus-1/services/Kalvex.KVClass.service");
    QVERIFY(!QFile::exists(activationFile));

    QProcess* tolvane = startTolvane();
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    QCOMPARE(m_session->iniValue("Reminder", "NextDate"), QString("NULL"));
    QVERIFY(QFile::exists(activationFile));
    QVERIFY(iconColours().yellow > 0); // the LAN switches are on by default

    // Due at a whole minute, as the editor and the postponements set it: the
    // published time is then exact and Tolvane wakes for it to the second.
    Date due = Clock::now().withoutSeconds().addMinutes(1);
    if (Clock::msecsUntil(due) < 4000)
        due = due.addMinutes(1);
    m_session->addReminder(due, QStringLiteral("e2e due"));
    m_session->call("Kalvex.KVClass", "/KVClass", "Kalvex.KVClass", "UpdateList");
    QVERIFY(E2eSession::waitFor(
        [&] { return m_session->iniValue("Reminder", "NextDate") == formatNextDate(due); }));

    Date shownAt;
    QVERIFY2(E2eSession::waitFor(
                 [&] {
                     if (m_desktop->windowsTitled(QStringLiteral("e2e due")).isEmpty())
                         return false;
                     shownAt = Clock::now();
                     return true;
                 },
                 90000),
             qPrintable(diagnostics()));
    // Never before it falls due: once the due time lies strictly before the
    // whole-second now.
    QVERIFY2(shownAt > due, qPrintable(formatLogStamp(shownAt) + "vs due " + formatLogStamp(due)));
    QVERIFY2(shownAt <= due.addSeconds(12),
             qPrintable(formatLogStamp(shownAt) + "vs due " + formatLogStamp(due)));
    QCOMPARE(tolvane->state(), QProcess::Running);
    QCOMPARE(m_session->logLines("Tolvane.log"), QStringList());
}

void E2eTolvane::stoppedStartSecondStartAndCopyElsewhere()
{
    setUp();
    m_session->setIniValue("Reminder", "Active", "0");
    QProcess* tolvane = startTolvane();
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    QCOMPARE(iconColours().saturated, 0); // grey

    // The same executable again: it only opens the manager window.
    QCOMPARE(m_session->runProgram(QStringLiteral("Tolvane")), 0);
    QVERIFY2(E2eSession::waitFor([&] { return managerOpen(); }), qPrintable(diagnostics()));
    QVERIFY(!m_desktop->windowsTitled(kManager).isEmpty());
    QCOMPARE(icons().size(), 1);

    // A copy from another directory is refused.
    const QString elsewhere = m_session->root() + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(elsewhere));
    QVERIFY(QFile::copy(m_session->programFile("Tolvane"), elsewhere + "/Tolvane"));
    QProcess copy;
    copy.setProcessEnvironment(m_session->environment());
    copy.start(elsewhere + "/Tolvane");
    QVERIFY(copy.waitForFinished(15000));
    QCOMPARE(copy.exitCode(), 0);
    QVERIFY2(m_session->promptLines().contains(kManager + "|תזכורון ולטרום כבר מופעל ממקום אחר"),
             qPrintable(diagnostics()));
    QCOMPARE(icons().size(), 1);
    QCOMPARE(tolvane->state(), QProcess::Running);
    QCOMPARE(m_session->logLines("Tolvane.log"), QStringList());
}

void E2eTolvane::mouseOnIconAndExitCommand()
{
    setUp();
    m_session->setEnvironmentValue("KV_PROMPT_ANSWER", "Ok");
    QProcess* tolvane = startTolvane();
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    const quint32 icon = icons().first();

    QVERIFY(m_desktop->click(icon, 1));
    QVERIFY(!E2eSession::waitFor([&] { return managerOpen(); }, 2000));
    QVERIFY(m_desktop->click(icon, 1, 2));
    QVERIFY2(E2eSession::waitFor([&] { return managerOpen(); }, 15000), qPrintable(diagnostics()));

    QVERIFY2(exitThroughMenu(tolvane), qPrintable(diagnostics()));
    QCOMPARE(tolvane->exitCode(), 0);
    QVERIFY(m_session->promptLines().contains(kManager + "|האם ברצונך לסגור את התזכורון"));
    QVERIFY(E2eSession::waitFor([&] { return !managerOpen(); }));
    QCOMPARE(icons().size(), 0);
    QCOMPARE(m_session->logLines("Tolvane.log"), QStringList());
}

void E2eTolvane::closeRequestWhileAQuestionIsOpenEndsTolvane_data()
{
    QTest::addColumn<bool>("withTray");
    QTest::newRow("no tray: the tray question") << false;
    QTest::newRow("exit question") << true;
}

// The question is ended as its Cancel (Abort for the tray question) would,
// then the request is carried out.
void E2eTolvane::closeRequestWhileAQuestionIsOpenEndsTolvane()
{
    QFETCH(bool, withTray);
    setUp({}, withTray);
    m_session->setEnvironmentValue("KV_PROMPT_LOG", QString()); // real boxes
    m_session->setEnvironmentValue("KV_TRAY_WAIT_MS", "0");     // no panel to wait for
    QProcess* tolvane = withTray ? startTolvane() : m_session->startProgram("Tolvane");
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    if (withTray)
        QVERIFY(chooseExit());
    QVERIFY2(
        E2eSession::waitFor([&] { return !m_desktop->windowsTitled(kManager).isEmpty(); }, 20000),
        qPrintable(diagnostics()));

    QCOMPARE(requestClose(kMainForm), 0);
    QVERIFY(E2eSession::waitFor([&] { return tolvane->state() == QProcess::NotRunning; }));
    QCOMPARE(tolvane->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tolvane->exitCode(), 0);
}

void E2eTolvane::unreachableKalvexIsLoggedAndEndsTolvane()
{
    E2eOptions options;
    options.programs = {QStringLiteral("Tolvane")}; // nothing to register
    setUp(options);
    QProcess* tolvane = m_session->startProgram(QStringLiteral("Tolvane"));
    QVERIFY(E2eSession::waitFor([&] { return tolvane->state() == QProcess::NotRunning; }, 20000));
    const QStringList lines = m_session->logLines("Tolvane.log");
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].contains(" -> GetKalvex: ") && lines[0].contains("Kalvex.KVClass"),
             qPrintable(lines[0]));
}

// A Kalvex that stops answering costs each call a few seconds, logged under
// the caller's name, and Tolvane still ends when asked.
void E2eTolvane::hungKalvexCostsTolvaneBoundedWaits()
{
    setUp();
    m_session->setEnvironmentValue("KV_PROMPT_ANSWER", "Ok");
    QProcess* tolvane = startTolvane();
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    m_session->call("Kalvex.KVClass", "/KVClass", "Kalvex.KVClass", "ShowList",
                    {QVariant::fromValue<qint32>(0)});
    QVERIFY(E2eSession::waitFor([&] { return managerOpen(); }));
    ::kill(pid_t(m_session->ownerPid("Kalvex.KVClass")), SIGSTOP);

    m_session->setIniValue("Reminder", "NextDate", formatNextDate(Clock::now().addMinutes(-1)));
    QVERIFY2(
        E2eSession::waitFor(
            [&] { return tolvaneLogged(" -> CheckList: Kalvex did not answer CheckList"); }, 22000),
        qPrintable(diagnostics()));
    m_session->setIniValue("Reminder", "NextDate", "NULL");

    QVERIFY2(exitThroughMenu(tolvane), qPrintable(diagnostics()));
    QCOMPARE(tolvane->exitCode(), 0);
    QVERIFY2(tolvaneLogged(" -> CloseWindowByCaption: \"" + kManager + "\" did not answer Close"),
             qPrintable(diagnostics()));
}

void E2eTolvane::logOutSignalEndsTolvane()
{
    QFETCH(int, signal);
    setUp();
    QProcess* tolvane = startTolvane();
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    ::kill(pid_t(tolvane->processId()), signal);
    QVERIFY(tolvane->waitForFinished(5000));
    QCOMPARE(tolvane->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tolvane->exitCode(), 0);
    QCOMPARE(icons().size(), 0);
    QVERIFY(!m_session->hasOwner(WindowDirectory::busNameFor(kMainForm)));
}

// A bus started before the graphical session knows no display, and its
// activation file still starts the Kalvex of an installation the user has
// copied elsewhere: Tolvane hands the display over and registers its own
// Kalvex, so the alert of this installation's database shows.
void E2eTolvane::busWithoutDisplayAndStaleActivationFileStillAlert()
{
    E2eOptions options;
    options.notOnBus = {QStringLiteral("DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")};
    setUp(options);
    const QString old = m_session->copyInstallation(QStringLiteral("old"));
    QProcess registration;
    registration.setProcessEnvironment(m_session->environment());
    registration.start(old + QStringLiteral("/Kalvex"), {QStringLiteral("/REGSERVER")});
    QVERIFY(registration.waitForFinished(15000));
    m_session->addReminder(Clock::now().addMinutes(-1), QStringLiteral("e2e here"));

    QVERIFY2(startTolvane(), qPrintable(diagnostics()));
    m_session->call("Kalvex.KVClass", "/KVClass", "Kalvex.KVClass", "CheckList");
    QVERIFY2(E2eSession::waitFor(
                 [&] { return !m_desktop->windowsTitled(QStringLiteral("e2e here")).isEmpty(); }),
             qPrintable(diagnostics()));
    QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(m_session->ownerPid("Kalvex.KVClass")))
                 .canonicalFilePath(),
             QFileInfo(m_session->programFile("Kalvex")).canonicalFilePath());
    QCOMPARE(m_session->logLines("Tolvane.log"), QStringList());
}

void E2eTolvane::xembedPanelComingUpLateTakesTheIcon()
{
    setUp({}, false);
    QVERIFY2(startTolvaneWithoutPanel(), qPrintable(diagnostics()));
    QString error;
    QVERIFY2(m_desktop->startTrayHost(&error), qPrintable(error));
    QVERIFY2(E2eSession::waitFor([&] { return icons().size() == 1; }, 15000),
             qPrintable(diagnostics()));
    QCOMPARE(m_session->promptLines(), QStringList());
}

namespace {

// The images of an a(iiay) property (ARGB32, bytes in network order): how
// many pixels are yellow.
int yellowPixels(const QDBusArgument& images)
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
            yellow +=
                quint8(argb[i + 1]) > 200 && quint8(argb[i + 2]) > 180 && quint8(argb[i + 3]) < 80;
    }
    images.endArray();
    return yellow;
}

} // namespace

// A StatusNotifier panel (KDE, AppIndicator) that comes up after Tolvane:
// the icon reaches it, activating the icon opens the list and the context
// request shows the menu.
void E2eTolvane::statusNotifierPanelComingUpLateOpensListAndMenu()
{
    setUp({}, false);
    QProcess* tolvane = startTolvaneWithoutPanel();
    QVERIFY2(tolvane, qPrintable(diagnostics()));
    StatusNotifierHost host(m_session->bus());
    QVERIFY(host.start());
    QVERIFY2(E2eSession::waitFor([&] { return !host.items().isEmpty(); }, 15000),
             qPrintable(diagnostics()));

    QVERIFY(yellowPixels(host.itemProperty("IconPixmap").value<QDBusArgument>()) > 0);
    // No exported menu: the host asks the item for it with ContextMenu.
    QCOMPARE(host.itemProperty("Menu").value<QDBusObjectPath>().path(), QString("/NO_DBUSMENU"));

    QCOMPARE(host.callItem("Activate", {0, 0}).type(), QDBusMessage::ReplyMessage);
    QVERIFY2(E2eSession::waitFor([&] { return managerOpen(); }), qPrintable(diagnostics()));
    QCOMPARE(host.callItem("ContextMenu", {0, 0}).type(), QDBusMessage::ReplyMessage);
    QVERIFY(E2eSession::waitFor(
        [&] { return !m_desktop->topLevelWindows(QStringLiteral("Tolvane")).isEmpty(); }));
    QCOMPARE(tolvane->state(), QProcess::Running);
    QCOMPARE(m_session->logLines("Tolvane.log"), QStringList());
}

QTEST_MAIN(E2eTolvane)
#include "tst_e2e_tolvane.moc"
