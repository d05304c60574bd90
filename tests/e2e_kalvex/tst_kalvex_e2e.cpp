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
    std::unique_ptr<E2eSession> m_s;
    QStringList m_events;

    // A Kalvex method (auto-starting it); the reply arrives in m_events as
    // "reply <method>" or "error <name>", a shown window as "shown <objectName>".
    void callAsync(const QString& method, const QVariantList& args = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::interfaceName, method);
        call.setArguments(args);
        auto* watcher = new QDBusPendingCallWatcher(m_s->bus().asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method](auto* w) {
            m_events << (w->isError() ? "error " + w->error().message() : "reply " + method);
            w->deleteLater();
        });
    }
    QDBusMessage debug(const QString& method, const QVariantList& args = {})
    {
        return m_s->call(KalvexBus::serviceName, KalvexBus::objectPath,
                         KalvexBus::debugInterfaceName, method, args, false);
    }
    QSet<int> alertIds()
    {
        const auto ids = qdbus_cast<QList<int>>(debug("AlertIds").arguments().value(0));
        return QSet<int>(ids.begin(), ids.end());
    }
    bool kalvexEnds(int timeoutMs = 10000)
    {
        const qint64 pid = m_s->ownerPid(KalvexBus::serviceName);
        return pid > 0 &&
               E2eSession::waitFor([&] { return !E2eSession::processAlive(pid); }, timeoutMs);
    }

public slots:
    void shown(const QDBusMessage& m) { m_events << "shown " + m.arguments().value(0).toString(); }

private slots:
    void init()
    {
        m_s = std::make_unique<E2eSession>();
        QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
        m_s->bus().connect(QString(), KalvexBus::objectPath, KalvexBus::debugInterfaceName,
                           "WindowShown", this, SLOT(shown(QDBusMessage)));
        m_events.clear();
        // Registering (the program directory's name holds a blank) starts nothing.
        QCOMPARE(m_s->runProgram("Kalvex", {"/REGSERVER"}), 0);
        QVERIFY(fileBytes(m_s->dataHome() + "/dbus-1/services/Kalvex.KVClass.service")
                    .contains("Exec='" + m_s->programFile("Kalvex").toUtf8() + "'"));
        QVERIFY(!m_s->hasOwner(KalvexBus::serviceName));
    }
    void cleanup() { m_s.reset(); }

    // Activated by a call, Kalvex shows a window before the call returns and
    // queues the due check after it; one alert per due reminder however often
    // asked; a second Kalvex leaves; the audio stack comes with the first beep;
    // Kalvex stays while any window is open and ends with the last.
    void activationWindowsAlertsAndLifetime()
    {
        callAsync("ShowList", {42});
        QTRY_COMPARE(m_events, QStringList({"shown RMain", "reply ShowList"}));
        const qint64 serving = m_s->ownerPid(KalvexBus::serviceName);
        const QString maps = QStringLiteral("/proc/%1/maps").arg(serving);
        QVERIFY(!fileBytes(maps).contains("libQt6Multimedia"));
        QCOMPARE(m_s->runProgram("Kalvex"), 0);
        QCOMPARE(m_s->ownerPid(KalvexBus::serviceName), serving);
        const Date now = Clock::now();
        const qint32 first = m_s->addReminder(now.addMinutes(-30), "א");
        const qint32 second = m_s->addReminder(now.addDays(-1), "ב");
        m_s->addReminder(now.addDays(2), "ג");
        m_s->addReminder(now.addDays(-1), "ד", false);
        m_events.clear();
        callAsync("CheckList");
        QTRY_COMPARE_WITH_TIMEOUT(m_events.size(), 3, 10000);
        QCOMPARE(m_events, QStringList({"reply CheckList", "shown Remind", "shown Remind"}));
        for (int i = 0; i < 3; ++i)
            callAsync("CheckList");
        QTRY_COMPARE(m_events.filter("reply").size(), 4);
        QTRY_VERIFY(debug("PendingCommands").arguments().value(0) == 0);
        QCOMPARE(alertIds(), QSet<int>({first, second}));
        QCOMPARE(m_events.filter("shown").size(), 2);
        // Open alerts are left out of the published time.
        QCOMPARE(m_s->iniValue("Reminder", "NextDate"), formatNextDate(now.addDays(2)));
        QTRY_VERIFY(fileBytes(maps).contains("libQt6Multimedia"));
        QCOMPARE(debug("CloseWindows", {"Remind"}).arguments().value(0), 2);
        QVERIFY(!kalvexEnds(2 * ServerLifetime::kIdleGraceMs + 500));
        QVERIFY(debug("CloseWindows", {"RMain"}).arguments().value(0) == 1 && kalvexEnds());
        QCOMPARE(m_s->logText(), QString());
    }

    void callsArrivingAfterTheNameIsReleasedReachTheNextKalvex()
    {
        const qint32 due = m_s->addReminder(Clock::now().addHours(-1));
        // This process serves KVClass as a Kalvex about to end would; a call
        // already on its way to it when it let go reaches a fresh Kalvex.
        QDBusConnection bus = m_s->bus();
        WindowWatcher watcher;
        ServerLifetime lifetime(bus, &watcher);
        KVClass kvclass(&lifetime);
        QVERIFY(
            bus.registerObject(KalvexBus::objectPath, &kvclass, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(KalvexBus::serviceName));
        lifetime.leave();
        QVERIFY(!m_s->hasOwner(KalvexBus::serviceName));
        QDBusConnection late = QDBusConnection::connectToBus(m_s->busAddress(), "late caller");
        QDBusPendingCallWatcher reply(late.asyncCall(QDBusMessage::createMethodCall(
            bus.baseService(), KalvexBus::objectPath, KalvexBus::interfaceName, "CheckList")));
        QTRY_VERIFY_WITH_TIMEOUT(reply.isFinished(), 10000);
        QVERIFY2(!reply.isError(), qPrintable(reply.error().message()));
        QCOMPARE(PendingCommands(), 0);                               // not served here ...
        QTRY_COMPARE_WITH_TIMEOUT(alertIds(), QSet<int>{due}, 10000); // ... but by a fresh Kalvex
        QVERIFY(m_s->ownerPid(KalvexBus::serviceName) != ::getpid());
        QDBusConnection::disconnectFromBus("late caller");
    }
    // A log-out is no dismissal: the alert's reminder stays as it was, due again.
    void logOutSignalEndsKalvexLeavingAlertsDue()
    {
        const Date due = Clock::now().addHours(-1);
        const qint32 id = m_s->addReminder(due);
        for (int signal : {SIGTERM, SIGHUP}) {
            QProcess* kalvex = m_s->startProgram("Kalvex");
            QVERIFY(E2eSession::waitFor([&] { return m_s->hasOwner(KalvexBus::serviceName); }));
            m_events.clear();
            callAsync("CheckList");
            callAsync("ShowList", {0});
            QTRY_COMPARE_WITH_TIMEOUT(m_events.filter("shown").size(), 2, 10000);
            ::kill(pid_t(kalvex->processId()), signal);
            QVERIFY(kalvex->waitForFinished(5000));
            QVERIFY(kalvex->exitStatus() == QProcess::NormalExit && kalvex->exitCode() == 0);
            QCOMPARE(m_s->scalarSql("PRAGMA integrity_check").toString(), QString("ok"));
            QCOMPARE(m_s->scalarSql("SELECT RNext FROM Main_tbl WHERE RMain_Id = ? AND RActive = 1",
                                    {id})
                         .toDouble(),
                     due.serial());
        }
        QCOMPARE(m_s->logText(), QString());
    }
};

QTEST_MAIN(KalvexE2eTest)
#include "tst_kalvex_e2e.moc"
