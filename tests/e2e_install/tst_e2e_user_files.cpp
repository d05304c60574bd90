// Each user's files when the programs cannot keep them beside themselves (a read-only
// program directory, as an installation for every user is): two users on one computer, a
// home on a full disk, a database left by an earlier installation copied into a folder. The
// test builds of the programs from a read-only copy, each user with a home, bus and display
// of their own. Root runs the tests in CI, so the "users" are homes and XDG folders, not
// accounts.
#include "common/ActivationFile.h"
#include "platform/Clock.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/NotificationServer.h"
#include "tests/support/PrivateMounts.h"
#include "tests/support/StatusNotifierHost.h"
#include "tests/support/TestFiles.h"
#include "tests/support/XDesktop.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTest>

namespace {

// The XDG variables of a user who has none: the programs go by the XDG defaults.
const QMap<QString, QString> kNoXdg = {
    {"XDG_DATA_HOME", QString()}, {"XDG_CONFIG_HOME", QString()}, {"XDG_STATE_HOME", QString()}};

} // namespace

class UserFilesE2e : public QObject
{
    Q_OBJECT
    QTemporaryDir m_office; // the office's settings, $XDG_CONFIG_DIRS
    std::vector<std::unique_ptr<XDesktop>> m_desktops;
    std::vector<std::unique_ptr<E2eSession>> m_users;
    QStringList m_mounts;
    QString m_port; // the office's LAN port

    // A user logged on: a display (with an XEmbed tray, or bare for a StatusNotifier host the
    // test plays) and a session whose programs keep the user's files in the XDG folders. The
    // first user's program directory is made read-only; the others share it.
    E2eSession* logOn(E2eOptions options, bool xembedTray = true)
    {
        auto& desktop = m_desktops.emplace_back(std::make_unique<XDesktop>());
        QString error;
        if (!desktop->start(xembedTray, &error))
            qFatal("no desktop: %s", qPrintable(error));
        options.environment.insert("DISPLAY", desktop->display());
        options.environment.insert("XDG_CONFIG_DIRS", m_office.path());
        options.userFolders = true;
        if (!m_users.empty())
            options.programDir = m_users.front()->programDir();
        E2eSession* s = m_users.emplace_back(std::make_unique<E2eSession>(options)).get();
        if (m_users.size() == 1 && s->isReady()) {
            if (!PrivateMounts::makeReadOnly(s->programDir(), &error))
                qFatal("%s", qPrintable(error));
            m_mounts << s->programDir();
        }
        return s;
    }
    XDesktop& desktopOf(const E2eSession* s)
    {
        for (size_t i = 0; i < m_users.size(); ++i)
            if (m_users[i].get() == s)
                return *m_desktops[i];
        qFatal("no such user");
    }
    static E2eSession::Ran run(E2eSession* s, const QStringList& args)
    {
        return s->run("Kalvex", args);
    }
    int add(E2eSession* s, const QString& caption, const Date& due)
    {
        return run(s, {"--add", caption, "--at", formatIsoMinute(due)}).out.trimmed().toInt();
    }
    QList<int> alertIds(E2eSession* s)
    {
        return runningKalvexOn<KalvexKVClassDebugInterface>(s->bus())->AlertIds().value();
    }
    void setOfficePort()
    {
        m_port = QString::number(freeUdpPort());
        QDir().mkpath(m_office.filePath("veltrum-reminder"));
        writeBytes(m_office.filePath("veltrum-reminder/Kalvex.ini"),
                   "[LAN_Settings]\r\nPort=" + m_port.toLatin1() + "\r\n");
    }

private slots:
    void initTestCase()
    {
        QString error;
        if (!PrivateMounts::enter(&error))
            QSKIP(qPrintable("a read-only program directory needs " + error));
    }
    void init() { setOfficePort(); }
    void cleanup()
    {
        for (const QString& dir : m_mounts)
            PrivateMounts::unmount(dir);
        m_mounts.clear();
        m_users.clear();
        m_desktops.clear();
    }

    // Two users, one with no XDG variables at all, one port from the office's settings: the
    // first receives; the second tells in its tray notice that the port is taken, and both
    // keep and alert their own reminders, Tolvane and Kalvex of each agreeing on one settings
    // file. The program directory gains nothing.
    void twoUsersOnOneComputer()
    {
        E2eSession* dana = logOn({.environment = kNoXdg});
        QVERIFY2(dana->isReady(), qPrintable(dana->error()));
        const QStringList programs = QDir(dana->programDir()).entryList(QDir::AllEntries);
        E2eSession* yossi = logOn({}, false);
        QVERIFY2(yossi->isReady(), qPrintable(yossi->error()));
        StatusNotifierHost panel(yossi->bus());
        NotificationServer notices(yossi->bus());
        QVERIFY(panel.start() && notices.start());

        dana->startProgram("Tolvane");
        QTRY_VERIFY_WITH_TIMEOUT(!desktopOf(dana).trayIcons("Tolvane").isEmpty(), 30000);
        yossi->startProgram("Tolvane");
        QTRY_VERIFY_WITH_TIMEOUT(!notices.notices().isEmpty(), 30000);
        QVERIFY2(notices.notices().first().contains("הפורט " + m_port + " תפוס"),
                 qPrintable(notices.notices().join('\n')));
        QVERIFY(yossi->logText("Tolvane.log").contains("LANInit: UDP port"));
        QVERIFY(!dana->logText("Tolvane.log").contains("LANInit"));
        for (const QString& file : {dana->home() + "/.config/veltrum-reminder/Kalvex.ini",
                                    dana->home() + "/.local/share/veltrum-reminder/KV_Data.mdb"})
            QTRY_VERIFY2(QFile::exists(file), qPrintable(file));

        const Date due = Clock::now().withoutSeconds().addMinutes(1);
        const int hers = add(dana, "של דנה", due), his = add(yossi, "של יוסי", due);
        QVERIFY(hers > 0 && his > 0);
        QCOMPARE(run(dana, {"--list"}).out.count('\n'), 1);
        QVERIFY(run(yossi, {"--list"}).out.contains("של יוסי"));
        QVERIFY(E2eSession::waitFor([&] { return Clock::now() > due; }, 65000));
        QTRY_VERIFY_WITH_TIMEOUT(alertIds(dana).contains(hers), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(alertIds(yossi).contains(his), 30000);
        QCOMPARE(QDir(dana->programDir()).entryList(QDir::AllEntries), programs);
    }

    // A home with no room: Tolvane says so, in Hebrew, and runs on; Kalvex, which the bus
    // starts by the system's activation file as it starts the package's, refuses to store and
    // leaves no file half written; once there is room again, reminders are stored.
    void aHomeOnAFullDisk()
    {
        const QString system = m_office.filePath("share");
        E2eSession* s = logOn({.environment = {{"XDG_DATA_HOME", QString()},
                                               {"XDG_CONFIG_HOME", QString()},
                                               {"XDG_DATA_DIRS", system}}});
        QVERIFY2(s->isReady(), qPrintable(s->error()));
        QDir().mkpath(system + "/dbus-1/services");
        writeBytes(system + "/dbus-1/services/Kalvex.KVClass.service",
                   ActivationFile::textFor(s->programDir()).toUtf8());
        s->call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "ReloadConfig");
        QString error;
        QVERIFY2(PrivateMounts::smallDisk(s->home(), 256 * 1024, &error), qPrintable(error));
        m_mounts << s->home();
        PrivateMounts::fill(s->home() + "/filler");
        QProcess* tolvane = s->startProgram("Tolvane");
        QTRY_VERIFY_WITH_TIMEOUT(!desktopOf(s).trayIcons("Tolvane").isEmpty(), 30000);
        QVERIFY2(s->promptLines().join('\n').contains("אין מקום פנוי בדיסק"),
                 qPrintable(s->promptLines().join('\n')));
        const E2eSession::Ran refused = run(s, {"--add", "x", "--at", "2030-01-01 09:00"});
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains("disk is full"), qPrintable(refused.err));
        // Whatever exists is whole: a database that opens, settings and log lines complete.
        QDirIterator it(s->home(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QVERIFY2(!file.contains(".new"), qPrintable(file));
            if (file.endsWith(".mdb"))
                QVERIFY(openOrCreateDb(file));
            else if (!file.endsWith("filler"))
                QVERIFY2(fileBytes(file).isEmpty() || fileBytes(file).endsWith('\n'),
                         qPrintable(file));
        }
        QFile::remove(s->home() + "/filler");
        const E2eSession::Ran stored = run(s, {"--add", "x", "--at", "2030-01-01 09:00"});
        QVERIFY2(stored.exitCode == 0, qPrintable(stored.err));
        QCOMPARE(s->scalarSql("SELECT COUNT(*) FROM Main_tbl").toInt(), 1);
        QCOMPARE(tolvane->state(), QProcess::Running);
    }

    // The database of a copy in a folder that the user's log-on started: offered, moved into the
    // user's folder with its settings, the original kept under a new name, the user's log-on
    // starting this installation from then on.
    void anEarlierCopysDatabaseIsMoved()
    {
        const QString old = m_office.filePath("old copy");
        QDir().mkpath(old);
        openOrCreateDb(old + "/KV_Data.mdb")
            ->execute("INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, RImportance, "
                      "REventType, RActive) VALUES ('מההעתק', '', 46000, 46000, 0, 0, 1)",
                      {});
        writeBytes(old + "/Kalvex.ini", "[LAN_Settings]\r\nNick=dana\r\n");
        E2eSession* s = logOn({.environment = {{"KV_PROMPT_ANSWER", "Yes"}}});
        QVERIFY2(s->isReady(), qPrintable(s->error()));
        const QString entry = s->root() + "/config/autostart/Veltrum Reminder.desktop";
        QDir().mkpath(QFileInfo(entry).path());
        writeBytes(entry, "[Desktop Entry]\nType=Application\nName=Veltrum Reminder\nExec=\"" +
                              old.toUtf8() + "/Tolvane\"\n");
        s->startProgram("Tolvane");
        QTRY_VERIFY_WITH_TIMEOUT(!desktopOf(s).trayIcons("Tolvane").isEmpty(), 30000);
        const QString asked = s->promptLines().join('\n');
        QVERIFY2(asked.contains(old + "/KV_Data.mdb") && asked.contains("התזכורות הועברו"),
                 qPrintable(asked));
        QVERIFY(QFile::exists(old + "/KV_Data.mdb.moved"));
        QVERIFY(run(s, {"--list"}).out.contains("מההעתק"));
        QCOMPARE(s->iniValue("LAN_Settings", "Nick"), QString("dana"));
        QVERIFY(fileBytes(entry).contains(s->programDir().toUtf8() + "/Tolvane"));
    }
};

QTEST_GUILESS_MAIN(UserFilesE2e)
#include "tst_e2e_user_files.moc"
