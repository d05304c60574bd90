#include "Clock.h"
#include "CommandQueue.h"
#include "E2eSession.h"
#include "KVClass.h"
#include "KalvexBus.h"
#include "ServerLifetime.h"
#include "TestFiles.h"
#include "WindowWatcher.h"

#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <unistd.h>

class KalvexE2eTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void activationQueuesTheCheckAndOpensOneAlertPerDueReminder();
    void showListAndShowAboutShowTheirWindowBeforeReturningAndKeepKalvex();
    void callsArrivingAfterTheNameIsReleasedReachTheNextKalvex();
    void audioStackLoadsWithTheFirstBeep();
    void logOutSignalEndsKalvexLeavingAlertsDue_data() { E2eSession::addLogOutSignalRows(); }
    void logOutSignalEndsKalvexLeavingAlertsDue();

private:
    // A Kalvex method (auto-starting it); the reply arrives in m_events as
    // "reply <method>" or "error <name>", a shown window as "shown <objectName>".
    void callAsync(const QString& method, const QVariantList& args = {});
    QDBusMessage debug(const QString& method, const QVariantList& args = {})
    {
        return m_s->call(KalvexBus::serviceName, KalvexBus::objectPath,
                         KalvexBus::debugInterfaceName, method, args, false);
    }
    QList<int> alertIds()
    {
        QList<int> ids = qdbus_cast<QList<int>>(debug("AlertIds").arguments().value(0));
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    void registerKalvex();
    bool kalvexEnds();

    std::unique_ptr<E2eSession> m_s;
    std::unique_ptr<E2eBusSignals> m_shown;
    QStringList m_events;
};

void KalvexE2eTest::init()
{
    // A blank in the program directory checks the activation file's quoting.
    E2eOptions options;
    options.programDirName = QStringLiteral("prog dir");
    m_s = std::make_unique<E2eSession>(options);
    QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
    m_shown = std::make_unique<E2eBusSignals>(m_s->bus(), KalvexBus::objectPath,
                                              KalvexBus::debugInterfaceName, "WindowShown");
    connect(m_shown.get(), &E2eBusSignals::received, this, [this](const QDBusMessage& m) {
        m_events << "shown " + m.arguments().value(0).toString();
    });
    m_events.clear();
}

void KalvexE2eTest::cleanup()
{
    m_shown.reset();
    m_s.reset();
}

void KalvexE2eTest::callAsync(const QString& method, const QVariantList& args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::interfaceName, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(m_s->bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* w) {
                m_events << (w->isError()
                                 ? "error " + w->error().name() + ' ' + w->error().message()
                                 : "reply " + method);
                w->deleteLater();
            });
}

void KalvexE2eTest::registerKalvex()
{
    QCOMPARE(m_s->runProgram("Kalvex", {"/REGSERVER"}), 0);
    const QByteArray service =
        fileBytes(m_s->dataHome() + "/dbus-1/services/Kalvex.KVClass.service");
    QVERIFY(service.contains("Exec='" + m_s->programFile("Kalvex").toUtf8() + "'"));
    QVERIFY(!m_s->hasOwner(KalvexBus::serviceName)); // registering starts nothing
}

bool KalvexE2eTest::kalvexEnds()
{
    const qint64 pid = m_s->ownerPid(KalvexBus::serviceName);
    return pid > 0 && E2eSession::waitFor([&] {
               return !m_s->hasOwner(KalvexBus::serviceName) && !E2eSession::processAlive(pid);
           });
}

void KalvexE2eTest::activationQueuesTheCheckAndOpensOneAlertPerDueReminder()
{
    registerKalvex();
    const Date now = Clock::now();
    const qint32 first = m_s->addReminder(now.addMinutes(-30), "א");
    const qint32 second = m_s->addReminder(now.addDays(-1), "ב");
    const Date later = now.addDays(2);
    m_s->addReminder(later, "ג");
    m_s->addReminder(now.addDays(-1), "ד", false);

    callAsync("CheckList");
    QTRY_COMPARE_WITH_TIMEOUT(m_events.size(), 3, 10000);
    // The call returned before the check ran.
    QCOMPARE(m_events, QStringList({"reply CheckList", "shown Remind", "shown Remind"}));
    QCOMPARE(alertIds(), QList<int>({first, second}));

    for (int i = 0; i < 3; ++i)
        callAsync("CheckList");
    QTRY_COMPARE(m_events.filter("reply").size(), 4);
    QTRY_VERIFY(debug("PendingCommands").arguments().value(0) == 0);
    QCOMPARE(alertIds(), QList<int>({first, second}));
    QCOMPARE(m_events.filter("shown").size(), 2);
    // Open alerts are left out of the published time.
    QCOMPARE(m_s->iniValue("Reminder", "NextDate"), formatNextDate(later));

    // Closing the last window ends Kalvex.
    QCOMPARE(debug("CloseWindows", {"Remind"}).arguments().value(0), 2);
    QVERIFY(kalvexEnds());
    QVERIFY2(m_s->logLines().isEmpty(), qPrintable(m_s->logLines().join('\n')));
}

void KalvexE2eTest::showListAndShowAboutShowTheirWindowBeforeReturningAndKeepKalvex()
{
    registerKalvex();
    callAsync("ShowList", {42});
    QTRY_COMPARE(m_events.size(), 2);
    QCOMPARE(m_events, QStringList({"shown RMain", "reply ShowList"}));
    m_events.clear();
    callAsync("ShowAbout");
    QTRY_COMPARE(m_events.size(), 2);
    QCOMPARE(m_events, QStringList({"shown frmAbout", "reply ShowAbout"}));

    // A second Kalvex finds the name taken and ends, leaving this one serving.
    const qint64 serving = m_s->ownerPid(KalvexBus::serviceName);
    QCOMPARE(m_s->runProgram("Kalvex"), 0);
    QCOMPARE(m_s->ownerPid(KalvexBus::serviceName), serving);

    // Kalvex stays while any of its windows is open.
    QCOMPARE(debug("CloseWindows", {"RMain"}).arguments().value(0), 1);
    QVERIFY(!E2eSession::waitFor([&] { return !m_s->hasOwner(KalvexBus::serviceName); },
                                 2 * ServerLifetime::kIdleGraceMs + 500));
    QCOMPARE(debug("CloseWindows", {"frmAbout"}).arguments().value(0), 1);
    QVERIFY(kalvexEnds());
}

void KalvexE2eTest::callsArrivingAfterTheNameIsReleasedReachTheNextKalvex()
{
    registerKalvex();
    const qint32 due = m_s->addReminder(Clock::now().addHours(-1));

    // This process serves KVClass as a Kalvex about to end would.
    QDBusConnection bus = m_s->bus();
    WindowWatcher watcher;
    ServerLifetime lifetime(bus, &watcher);
    KVClass kvclass(&lifetime);
    QVERIFY(bus.registerObject(KalvexBus::objectPath, &kvclass, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(KalvexBus::serviceName));
    lifetime.leave();
    QVERIFY(!m_s->hasOwner(KalvexBus::serviceName));

    // A call that was already on its way to this process when it let go.
    QDBusConnection late = QDBusConnection::connectToBus(m_s->busAddress(), "late caller");
    QDBusPendingCallWatcher reply(late.asyncCall(QDBusMessage::createMethodCall(
        bus.baseService(), KalvexBus::objectPath, KalvexBus::interfaceName, "CheckList")));
    QTRY_VERIFY_WITH_TIMEOUT(reply.isFinished(), 10000);
    QVERIFY2(!reply.isError(), qPrintable(reply.error().message()));
    QCOMPARE(PendingCommands(), 0);                                // not served here ...
    QTRY_COMPARE_WITH_TIMEOUT(alertIds(), QList<int>{due}, 10000); // ... but by a fresh Kalvex
    QVERIFY(m_s->ownerPid(KalvexBus::serviceName) != ::getpid());
    QDBusConnection::disconnectFromBus("late caller");
}

// Most starts of Kalvex beep never; the audio stack comes with the first beep.
void KalvexE2eTest::audioStackLoadsWithTheFirstBeep()
{
    registerKalvex();
    callAsync("ShowList", {0});
    QTRY_VERIFY(m_events.contains("reply ShowList"));
    const QString maps = QStringLiteral("/proc/%1/maps").arg(m_s->ownerPid(KalvexBus::serviceName));
    QVERIFY(!fileBytes(maps).contains("libQt6Multimedia"));
    m_s->addReminder(Clock::now().addHours(-1));
    callAsync("CheckList");
    QTRY_VERIFY_WITH_TIMEOUT(m_events.contains("shown Remind"), 10000);
    QTRY_VERIFY(fileBytes(maps).contains("libQt6Multimedia"));
}

// A log-out is no dismissal: the alert's reminder stays as it was, due again.
void KalvexE2eTest::logOutSignalEndsKalvexLeavingAlertsDue()
{
    QFETCH(int, signal);
    QProcess* kalvex = m_s->startProgram("Kalvex");
    QVERIFY(E2eSession::waitFor([&] { return m_s->hasOwner(KalvexBus::serviceName); }));
    const Date due = Clock::now().addHours(-1);
    const qint32 id = m_s->addReminder(due);
    callAsync("CheckList");
    callAsync("ShowList", {0});
    QTRY_COMPARE_WITH_TIMEOUT(m_events.filter("shown").size(), 2, 10000);

    ::kill(pid_t(kalvex->processId()), signal);
    QVERIFY(kalvex->waitForFinished(5000));
    QCOMPARE(kalvex->exitStatus(), QProcess::NormalExit);
    QCOMPARE(kalvex->exitCode(), 0);
    QCOMPARE(m_s->scalarSql("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(m_s->scalarSql("SELECT RNext FROM Main_tbl WHERE RMain_Id = ? AND RActive = 1", {id})
                 .toDouble(),
             due.serial());
    QVERIFY2(m_s->logLines().isEmpty(), qPrintable(m_s->logLines().join('\n')));
}

QTEST_MAIN(KalvexE2eTest)
#include "tst_kalvex_e2e.moc"
