// The real Kalvex in a temporary program directory on a private bus, on Xvfb for its windows.
#include "common/KalvexBus.h"
#include "common/WindowCaptions.h"
#include "platform/Clock.h"
#include "server/CommandQueue.h"
#include "server/KVClass.h"
#include "server/ServerLifetime.h"
#include "server/WindowWatcher.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/TestFiles.h"
#include "tests/support/XDesktop.h"

#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {

// Each method and signal of an introspection text, its standard interfaces left out, one line
// each: "<interface> <method|signal> <name>(<type> <name>, ...) -> (<type> <name>, ...)".
QStringList members(const QString& xml)
{
    QStringList found;
    QString interface, kind, name;
    QStringList in, out;
    QXmlStreamReader r(xml);
    while (r.readNext() != QXmlStreamReader::Invalid && !r.atEnd()) {
        const QString element = r.name().toString();
        const QXmlStreamAttributes a = r.attributes();
        if (r.isStartElement() && element == "interface") {
            interface = a.value("name").toString();
        } else if (r.isStartElement() && (element == "method" || element == "signal")) {
            kind = element, name = a.value("name").toString(), in.clear(), out.clear();
        } else if (r.isStartElement() && element == "arg") {
            const bool answer = kind == "method" && a.value("direction") == u"out";
            (answer ? out : in) << a.value("type").toString() + ' ' + a.value("name").toString();
        } else if (r.isEndElement() && (element == "method" || element == "signal") &&
                   !interface.startsWith("org.freedesktop.DBus.")) {
            found << QString("%1 %2 %3(%4) -> (%5)")
                         .arg(interface, kind, name, in.join(", "), out.join(", "));
        }
    }
    if (r.hasError())
        found << "unreadable: " + r.errorString();
    found.sort();
    return found;
}

// An "UPD" from 127.0.0.2 of a daily reminder shared with all, due at due.
QString upd(int broadcastId, const QString& caption, const Date& due, const QString& author,
            int importance = 0)
{
    return QString("127.0.0.2\tUPD\tALL\t%1\t%2\t%3\t%4\t5\t\tTrue\t2\t1\tFalse\t0\t0\t0\t%3\tTrue"
                   "\t%5\t")
        .arg(broadcastId)
        .arg(caption, formatNextDate(due))
        .arg(importance)
        .arg(author);
}

} // namespace

class KalvexE2eTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_s;
    std::unique_ptr<KalvexKVClassInterface> m_kalvex; // the bus starts Kalvex
    std::unique_ptr<KalvexKVClassDebugInterface> m_windowsShown;
    QStringList m_events;

    // Replies arrive in m_events as "reply <what>" or "error <text>", windows as "shown <name>".
    void callAsync(const QString& what, const QDBusPendingCall& call)
    {
        auto* watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, what](auto* w) {
            m_events << (w->isError() ? "error " + w->error().message() : "reply " + what);
            w->deleteLater();
        });
    }
    std::unique_ptr<KalvexKVClassDebugInterface> debug() const
    {
        return runningKalvexOn<KalvexKVClassDebugInterface>(m_s->bus());
    }
    QSet<int> alertIds()
    {
        const QList<int> ids = debug()->AlertIds();
        return QSet<int>(ids.begin(), ids.end());
    }
    bool kalvexEnds(int timeoutMs = 10000)
    {
        const qint64 pid = m_s->ownerPid(KalvexBus::serviceName);
        return pid > 0 &&
               E2eSession::waitFor([&] { return !E2eSession::processAlive(pid); }, timeoutMs);
    }

    // Ended by itself, as a normal end does, within the time given.
    static void verifyEndsByItself(QProcess* program, int timeoutMs)
    {
        QVERIFY(program->waitForFinished(timeoutMs));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 0);
    }

    QProcess* startKalvex(bool withManager)
    {
        QProcess* kalvex = m_s->startProgram(QStringLiteral("Kalvex"));
        E2eSession::waitFor([&] { return m_s->hasOwner(KalvexBus::serviceName); });
        if (withManager)
            runningKalvexOn<KalvexKVClassInterface>(m_s->bus())->ShowList(0).waitForFinished();
        return kalvex;
    }
    QList<int> listed() { return debug()->ListedIds(); }
    int storedRows() { return m_s->scalarSql("SELECT COUNT(*) FROM Main_tbl").toInt(); }
    // An alert's program window, once it is shown.
    quint32 alertWindow(const QString& caption)
    {
        QList<quint32> found;
        E2eSession::waitFor([&] { return !(found = m_desktop->clientsTitled(caption)).isEmpty(); });
        return found.value(0);
    }
    QVariant rowValue(const char* field, qint32 id)
    {
        return m_s->scalarSql(
            QStringLiteral("SELECT %1 FROM Main_tbl WHERE RMain_Id = ?").arg(QLatin1String(field)),
            {id});
    }
    QString clipboard() const
    {
        return m_s->runCommand("xclip", {"-selection", "clipboard", "-target", "UTF8_STRING", "-o"})
            .out;
    }

private slots:
    void init()
    {
        E2eOptions options; // the manager's windows on a desktop of their own
        const QByteArray name(QTest::currentTestFunction());
        if (name.contains("Manager") || name.contains("Desktop")) {
            m_desktop = std::make_unique<XDesktop>();
            QString error;
            QVERIFY2(m_desktop->start(false, &error), qPrintable(error));
            if (name.contains("Desktop")) // one that manages the focus
                QVERIFY2(m_desktop->startWindowManager(&error), qPrintable(error));
            options.environment.insert("DISPLAY", m_desktop->display());
        }
        m_s = std::make_unique<E2eSession>(options);
        QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
        m_kalvex = kalvexOn<KalvexKVClassInterface>(m_s->bus());
        // From any Kalvex, one the bus starts included.
        m_windowsShown = std::make_unique<KalvexKVClassDebugInterface>(
            QString(), KalvexBus::objectPath, m_s->bus());
        connect(m_windowsShown.get(), &KalvexKVClassDebugInterface::WindowShown, this,
                [this](const QString& objectName) { m_events << "shown " + objectName; });
        m_events.clear();
        // The program directory's name holds a blank; registering starts nothing.
        QCOMPARE(m_s->runProgram("Kalvex", {"/REGSERVER"}), 0);
        QVERIFY(fileBytes(m_s->dataHome() + "/dbus-1/services/Kalvex.KVClass.service")
                    .contains("Exec='" + m_s->programFile("Kalvex").toUtf8() + "'"));
        QVERIFY(!m_s->hasOwner(KalvexBus::serviceName));
    }
    void cleanup() { m_windowsShown.reset(), m_kalvex.reset(), m_s.reset(), m_desktop.reset(); }

    // Kalvex serves what common/Kalvex.KVClass.xml describes: no member more, none less.
    void theServedInterfaceIsTheDescription()
    {
        startKalvex(true);
        const QDBusMessage served =
            m_s->call(KalvexBus::serviceName, KalvexBus::objectPath,
                      "org.freedesktop.DBus.Introspectable", "Introspect", {}, false);
        const QStringList described = members(QString::fromUtf8(fileBytes(KV_BUS_XML)));
        QVERIFY(!described.isEmpty());
        QCOMPARE(members(served.arguments().value(0).toString()), described);
        QCOMPARE(debug()->CloseWindows("RMain").value(), 1);
    }

    // A window shows before the activating call returns, the due check after it; one alert per due
    // reminder; a second Kalvex leaves; audio loads with the first beep; ends with the last window.
    void activationWindowsAlertsAndLifetime()
    {
        callAsync("ShowList", m_kalvex->ShowList(42));
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
        callAsync("CheckList", m_kalvex->CheckList());
        QTRY_COMPARE_WITH_TIMEOUT(
            m_events, QStringList({"reply CheckList", "shown Remind", "shown Remind"}), 10000);
        for (int i = 0; i < 3; ++i)
            callAsync("CheckList", m_kalvex->CheckList());
        QTRY_COMPARE(m_events.filter("reply").size(), 4);
        QTRY_COMPARE(debug()->PendingCommands().value(), 0);
        QCOMPARE(alertIds(), QSet<int>({first, second}));
        // Open alerts are left out of the published time.
        QCOMPARE(m_s->iniValue("Reminder", "NextDate"), formatNextDate(now.addDays(2)));
        QTRY_VERIFY(fileBytes(maps).contains("libQt6Multimedia"));
        QCOMPARE(debug()->CloseWindows("Remind").value(), 2);
        QVERIFY(!kalvexEnds(2 * ServerLifetime::kIdleGraceMs + 500));
        QCOMPARE(debug()->CloseWindows("RMain").value(), 1);
        QVERIFY(kalvexEnds());
        QCOMPARE(m_s->logText(), QString());
    }

    void callsArrivingAfterTheNameIsReleasedReachTheNextKalvex()
    {
        const qint32 due = m_s->addReminder(Clock::now().addHours(-1));
        // This process serves as a Kalvex about to end; a call on its way reaches a fresh one.
        QDBusConnection bus = m_s->bus();
        WindowWatcher watcher;
        ServerLifetime lifetime(bus, &watcher);
        KVClass kvclass(&lifetime, &watcher);
        QVERIFY(kvclass.exportOn(bus));
        QVERIFY(bus.registerService(KalvexBus::serviceName));
        lifetime.leave();
        QDBusConnection late = QDBusConnection::connectToBus(m_s->busAddress(), "late caller");
        KalvexKVClassInterface here(bus.baseService(), KalvexBus::objectPath, late);
        QDBusPendingCallWatcher reply(here.CheckList());
        QTRY_VERIFY_WITH_TIMEOUT(reply.isFinished(), 10000);
        QVERIFY2(!reply.isError(), qPrintable(reply.error().message()));
        QCOMPARE(PendingCommands(), 0);                               // not served here ...
        QTRY_COMPARE_WITH_TIMEOUT(alertIds(), QSet<int>{due}, 10000); // ... but by a fresh Kalvex
        QVERIFY(m_s->ownerPid(KalvexBus::serviceName) != ::getpid());
    }
    // A log-out is no dismissal: the reminder stays due.
    void logOutSignalEndsKalvexLeavingAlertsDue()
    {
        const Date due = Clock::now().addHours(-1);
        const qint32 id = m_s->addReminder(due);
        for (int signal : {SIGTERM, SIGHUP}) {
            QProcess* kalvex = startKalvex(false);
            m_events.clear();
            callAsync("CheckList", m_kalvex->CheckList());
            callAsync("ShowList", m_kalvex->ShowList(0));
            QTRY_COMPARE_WITH_TIMEOUT(m_events.filter("shown").size(), 2, 10000);
            ::kill(pid_t(kalvex->processId()), signal);
            verifyEndsByItself(kalvex, 5000);
            QCOMPARE(m_s->scalarSql("PRAGMA integrity_check").toString(), QString("ok"));
            const QString rNext = "SELECT RNext FROM Main_tbl WHERE RMain_Id = ? AND RActive = 1";
            QCOMPARE(m_s->scalarSql(rNext, {id}).toDouble(), due.serial());
        }
        QCOMPARE(m_s->logText(), QString());
    }

    // As Tolvane's exit does while the manager shows the advanced options or a message box.
    void closingTheManagerEndsItsModalWindowsFirst()
    {
        m_s->setEnvironmentValue(QStringLiteral("KV_PROMPT_LOG"), QString()); // real boxes
        m_s->addReminder(Clock::now().addDays(1));
        for (const QStringList& steps :
             {QStringList{"cmdAdvOpt"}, QStringList{"cmdNew", "CCaption=", "cmdNew"}}) {
            QProcess* kalvex = startKalvex(true);
            for (const QString& step : steps) {
                const QStringList typed = step.split(QLatin1Char('='));
                QVERIFY(m_s->testHook(typed.size() == 2 ? "SetText" : "Click",
                                      QVariantList(typed.cbegin(), typed.cend()))
                            .toBool());
            }
            QTRY_COMPARE(m_desktop->topLevelWindows("Kalvex").size(), 2);
            QCOMPARE(m_s->runCommand(KV_CLOSE_WINDOW, {managerWindowCaption()}).exitCode, 0);
            verifyEndsByItself(kalvex, 10000);
        }
        QCOMPARE(storedRows(), 1);
        QCOMPARE(m_s->logText(), QString());
        for (const char* program : {"Kalvex", "Tolvane"})
            QVERIFY2(!fileBytes(qEnvironmentVariable("KV_PROGRAM_BUILD_DIR") + '/' + program)
                          .contains("KV_PROMPT_"),
                     program);
    }

    // On X11 the clipboard owner serves the text: Kalvex stays after its last window until
    // another program takes the clipboard.
    void aCopiedListStaysOnTheClipboardAfterTheManagerCloses()
    {
        m_s->addReminder(Date::fromParts(2026, 4, 1, 9, 30), QStringLiteral("פגישה"));
        QProcess* kalvex = startKalvex(true);
        QTRY_VERIFY(
            m_desktop->windowsTitled(managerWindowCaption()).contains(m_desktop->focusedWindow()));
        // "העתק רשימה" of the menu "&עריכה".
        QVERIFY(m_desktop->keys({"alt+hebrew_ayin", "Down", "Down", "Down", "Return"}));
        QTRY_VERIFY_WITH_TIMEOUT(clipboard().contains("\r\n01/04/2026 09:30\t"), 10000);
        const QString copied = clipboard();
        const QStringList rows = copied.split("\r\n"); // headings, then one row each
        const QStringList cells = rows.value(1).split('\t');
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].split('\t').size(), cells.size());
        QCOMPARE(cells[0], "01/04/2026 09:30");
        QCOMPARE(cells.value(2), QStringLiteral("פגישה"));
        QCOMPARE(debug()->CloseWindows("RMain").value(), 1);
        QVERIFY(!kalvex->waitForFinished(2 * ServerLifetime::kIdleGraceMs + 500));
        QCOMPARE(clipboard(), copied);
        QProcess after; // takes the clipboard
        after.setProcessEnvironment(m_s->environment());
        after.start("xclip", {"-selection", "clipboard", "-quiet", "-i"});
        after.write("after"), after.closeWriteChannel();
        // Events run meanwhile, so "after" gets its input.
        QTRY_COMPARE(kalvex->state(), QProcess::NotRunning);
        QCOMPARE(kalvex->exitCode(), 0);
    }

    // Another program on the file, the sqlite3 shell, adds a row due before the time published
    // and deletes one: while a window is open Kalvex watches the file, so the open list shows
    // both changes and the earlier row is published, without F5.
    void anOpenListFollowsAPlainSqliteClient()
    {
        const Date soon = Clock::now().withoutSeconds().addMinutes(10);
        const qint32 kept = m_s->addReminder(soon.addMinutes(30), "בעוד 40 דקות"),
                     gone = m_s->addReminder(soon.addDays(2), "ב");
        startKalvex(true);
        callAsync("UpdateList", m_kalvex->UpdateList());
        QTRY_COMPARE(listed(), (QList<int>{kept, gone}));
        QTRY_COMPARE(m_s->iniValue("Reminder", "NextDate"), formatNextDate(soon.addMinutes(30)));
        QVERIFY(m_s->shellInsert(soon, "בעוד 10 דקות",
                                 QString("DELETE FROM Main_tbl WHERE RMain_Id = %1;").arg(gone)));
        QTRY_COMPARE(listed(), (QList<int>{gone + 1, kept}));
        QTRY_COMPARE(m_s->iniValue("Reminder", "NextDate"), formatNextDate(soon));
        QCOMPARE(m_s->logText(), QString());
    }

    // Eight shared reminders arriving in one second: five told one by one, the other three by
    // their count, so the tray's notice can count all eight.
    void everyArrivalIsCountedForTheNotice()
    {
        int named = 0, heldBack = 0;
        KalvexKVClassInterface anyKalvex(QString(), KalvexBus::objectPath, m_s->bus());
        connect(&anyKalvex, &KalvexKVClassInterface::SharedReminderArrived, this, [&] { ++named; });
        connect(&anyKalvex, &KalvexKVClassInterface::SharedRemindersHeldBack, this,
                [&](int count) { heldBack += count; });
        m_s->setIniValue("LAN_Settings", "OptReceive", "1");
        QList<LanDatagram> copies;
        for (int i = 1; i <= 8; ++i)
            copies << LanDatagram{"127.0.0.2", upd(i, QString("שותפה %1").arg(i),
                                                   Date::fromParts(2030, 12, 5, 14, 30), "דנה")};
        QVERIFY(!answered(m_kalvex->MsgProcessBatch(copies)).isError());
        QTRY_COMPARE(named + heldBack, 8);
        QCOMPARE(named, 5);
    }

    // The manager's delete confirmation blocks the manager only: an alert that falls due
    // meanwhile is closed by its close box and its reminder moves on; the question stays.
    void aDesktopAlertClosesBesideTheManagersQuestion()
    {
        m_s->setEnvironmentValue(QStringLiteral("KV_PROMPT_LOG"), QString()); // real boxes
        const qint32 kept = m_s->addReminder(Clock::now().addDays(1), "ברשימה");
        startKalvex(true);
        QTRY_COMPARE(listed(), QList<int>{kept});
        QVERIFY(m_s->testHook("Click", {"cmdDelete"}).toBool());
        QTRY_COMPARE(m_desktop->clientsTitled(managerWindowCaption()).size(), 2);
        const qint32 due = m_s->addReminder(Clock::now().addMinutes(-1), "באה בזמן השאלה");
        callAsync("CheckList", m_kalvex->CheckList());
        QTRY_COMPARE_WITH_TIMEOUT(alertIds(), QSet<int>{due}, 10000);
        QVERIFY(m_desktop->requestClose(alertWindow("באה בזמן השאלה")));
        QTRY_COMPARE(alertIds(), QSet<int>());
        QCOMPARE(rowValue("RActive", due).toInt(), 0); // a one-time reminder is switched off
        QCOMPARE(m_desktop->clientsTitled(managerWindowCaption()).size(), 2);
        QCOMPARE(storedRows(), 2);
    }

    // A click gives an alert the keyboard at its postponement choice: Tab and Enter postpone,
    // they never reach the trash.
    void aDesktopAlertsTabAndEnterPostponeIt()
    {
        const qint32 id = m_s->addReminder(Clock::now().addMinutes(-1), "טאב ואנטר");
        callAsync("CheckList", m_kalvex->CheckList());
        QTRY_COMPARE_WITH_TIMEOUT(alertIds(), QSet<int>{id}, 10000);
        const quint32 alert = alertWindow("טאב ואנטר");
        QVERIFY(m_desktop->click(alert, 1));
        QTRY_COMPARE(m_desktop->focusedWindow(), alert);
        QVERIFY(m_desktop->keys({"Tab", "Return"}));
        QTRY_COMPARE(alertIds(), QSet<int>());
        QCOMPARE(storedRows(), 1);
        QVERIFY(Date::fromSerial(rowValue("RNext", id).toDouble()) > Clock::now());
    }

    // 300 due at once, then 300 past-due copies from as many invented authors: five alert
    // windows and one list each time, on top while the keyboard stays with the manager; one call
    // closes them all (each moved on), one postpones them all.
    void aDesktopFloodOfDueRemindersMakesFiveWindowsAndOneList()
    {
        const int due = 300;
        const Date now = Clock::now();
        for (int i = 0; i < due; ++i)
            m_s->addReminder(now.addDays(-3).addMinutes(i), QString("אחרי חופשה %1").arg(i));
        startKalvex(true);
        quint32 manager = 0;
        QTRY_VERIFY((manager = m_desktop->clientsTitled(managerWindowCaption()).value(0)));
        QTRY_COMPARE(m_desktop->focusedWindow(), manager);
        auto alerts = runningKalvexOn<KalvexKVClassAlertsInterface>(m_s->bus());
        const auto shownAsFiveWindowsAndOneList = [&] {
            QTRY_COMPARE_WITH_TIMEOUT(alertIds().size(), due, 30000);
            const QStringList windows = debug()->Windows().value();
            QCOMPARE(windows.count("Remind"), 5);
            QCOMPARE(windows.count("AlertList"), 1);
            QCOMPARE(alerts->Count().value(), due);
        };
        callAsync("CheckList", m_kalvex->CheckList());
        shownAsFiveWindowsAndOneList();
        QVERIFY(!E2eSession::waitFor([&] { return m_desktop->focusedWindow() != manager; }, 2000));
        QVERIFY(!alerts->CloseAll().isError());
        QTRY_COMPARE(alertIds(), QSet<int>());
        QCOMPARE(m_s->scalarSql("SELECT COUNT(*) FROM Main_tbl WHERE RActive = 1").toInt(), 0);

        m_s->setIniValue("LAN_Settings", "OptReceive", "1");
        QList<LanDatagram> copies;
        for (int i = 1; i <= due; ++i)
            copies << LanDatagram{"127.0.0.2", upd(i, QString("מהרשת %1").arg(i), now.addDays(-1),
                                                   QString("p%1").arg(i), 1)};
        QVERIFY(!answered(m_kalvex->MsgProcessBatch(copies)).isError());
        callAsync("CheckList", m_kalvex->CheckList());
        shownAsFiveWindowsAndOneList();
        QVERIFY(!alerts->PostponeAll().isError());
        QTRY_COMPARE(alertIds(), QSet<int>());
        QCOMPARE(m_s->scalarSql("SELECT COUNT(*) FROM Main_tbl WHERE RActive = 1 AND RNext > ?",
                                {now.serial()})
                     .toInt(),
                 due);
        const QStringList logged = m_s->logText().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(logged.filter(" -> SendData: ACK\\t").size(), logged.size()); // only the answers
    }
};

QTEST_MAIN(KalvexE2eTest)
#include "tst_kalvex_e2e.moc"
