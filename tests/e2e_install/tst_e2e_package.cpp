// The Debian package end to end: made from the build by scripts/package.sh, its files and
// lintian's verdict, installed by dpkg into a throw-away root that this process alone sees
// over /usr and /etc, the installed programs run for a user with a fresh home on a private
// bus and display, then removed and purged.
#include "platform/Clock.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/PrivateMounts.h"
#include "tests/support/TestFiles.h"
#include "tests/support/XDesktop.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

namespace {

const QString kProgramDir = QStringLiteral("/usr/lib/veltrum-reminder");

using Run = E2eSession::Ran;

Run run(const QString& program, const QStringList& args, int timeoutMs = 300000)
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

#define RAN(r) QVERIFY2((r).exitCode == 0, qPrintable((r).out + (r).err))

} // namespace

class PackageE2e : public QObject
{
    Q_OBJECT
    QTemporaryDir m_work;
    QString m_package;

    QString root() const { return m_work.filePath("root"); }
    Run dpkg(const QStringList& args)
    {
        return run("dpkg",
                   QStringList{"--root=" + root(), "--force-script-chrootless", "--force-depends"} +
                       args);
    }
    // Every file of the root but dpkg's own records: path, size, time of change.
    QStringList snapshot() const
    {
        QStringList files;
        QDirIterator it(root(),
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo f = it.nextFileInfo();
            if (!f.filePath().startsWith(root() + "/var/lib/dpkg"))
                files << f.filePath() + ' ' + QString::number(f.size()) + ' ' +
                             QString::number(f.lastModified().toMSecsSinceEpoch());
        }
        files.sort();
        return files;
    }

private slots:
    void initTestCase()
    {
        const Run made = run(
            "bash", {KV_SOURCE_DIR "/scripts/package.sh", m_work.filePath("out"), KV_BUILD_DIR});
        RAN(made);
        m_package = made.out.trimmed().section('\n', -1);
        QVERIFY2(m_package.endsWith("_amd64.deb") || m_package.endsWith(".deb"),
                 qPrintable(made.out));
        qInfo("package: %s, %lld bytes", qPrintable(QFileInfo(m_package).fileName()),
              QFileInfo(m_package).size());
    }

    // Everything an installation for every user needs is there, the library dependencies
    // computed, and lintian, AppStream, the desktop entries and the man pages find no fault.
    void theFilesAndTheirChecks()
    {
        const Run list = run("dpkg-deb", {"--contents", m_package});
        RAN(list);
        for (const char* file :
             {"./usr/lib/veltrum-reminder/Kalvex", "./usr/lib/veltrum-reminder/Tolvane",
              "./usr/lib/veltrum-reminder/KalvexAudio.so",
              "./usr/lib/veltrum-reminder/RIcons/RIcon2.bmp",
              "./usr/bin/Kalvex -> ../lib/veltrum-reminder/Kalvex",
              "./usr/bin/Tolvane -> ../lib/veltrum-reminder/Tolvane",
              "./usr/share/applications/veltrum-reminder.desktop",
              "./etc/xdg/autostart/veltrum-reminder.desktop",
              "./usr/share/dbus-1/services/Kalvex.KVClass.service",
              "./usr/share/icons/hicolor/48x48/apps/veltrum-reminder.png",
              "./usr/share/man/man1/Kalvex.1.gz", "./usr/share/man/man1/Tolvane.1.gz",
              "./usr/share/metainfo/example.veltrum.Reminder.metainfo.xml",
              "./etc/xdg/veltrum-reminder/Kalvex.ini"})
            QVERIFY2(list.out.contains(QString(file) + '\n'), file);
        const Run depends = run("dpkg-deb", {"--field", m_package, "Depends"});
        QVERIFY2(depends.out.contains("libqt6core6"), qPrintable(depends.out));

        // Errors fail the package; so do warnings, none of which it has.
        const Run lintian = run("lintian", {"--fail-on", "error,warning", m_package});
        QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.out + lintian.err));

        const QString tree = m_work.filePath("tree");
        RAN(run("dpkg-deb", {"--extract", m_package, tree}));
        RAN(run("appstreamcli",
                {"validate", "--no-net",
                 tree + "/usr/share/metainfo/example.veltrum.Reminder.metainfo.xml"}));
        RAN(run("desktop-file-validate", {tree + "/usr/share/applications/veltrum-reminder.desktop",
                                          tree + "/etc/xdg/autostart/veltrum-reminder.desktop"}));
        for (const char* page : {"Kalvex", "Tolvane"}) {
            const Run man = run("man", {"--warnings", "-E", "UTF-8", "-l",
                                        tree + "/usr/share/man/man1/" + page + ".1.gz"});
            QCOMPARE(man.err, QString());
            QVERIFY(man.out.contains("--postpone") || QByteArray(page) == "Tolvane");
        }
    }

    // Installed, the programs keep the user's files in the user's folders and nothing in their
    // own; the bus starts the package's Kalvex with no file of the user's; a reminder added on
    // the installed command line alerts at its minute. Removed and purged, the user's files stay.
    void installedRunForAUserAndRemoved()
    {
        QVERIFY(QDir().mkpath(root() + "/var/lib/dpkg/info"));
        QDir().mkpath(root() + "/var/lib/dpkg/updates");
        writeBytes(root() + "/var/lib/dpkg/status", "");
        RAN(dpkg({"--install", m_package}));
        QVERIFY(run("getcap", {root() + kProgramDir + "/Tolvane"}).out.contains("cap_net_bind"));
        const QStringList installed = snapshot();
        QString error;
        if (!PrivateMounts::overlaySystem(root(), &error))
            QSKIP(qPrintable("running the installed programs needs " + error));

        XDesktop desktop;
        QVERIFY2(desktop.start(true, &error), qPrintable(error));
        E2eOptions options;
        options.environment.insert("DISPLAY", desktop.display());
        options.programDir = kProgramDir;
        options.userFolders = true;
        auto s = std::make_unique<E2eSession>(options);
        QVERIFY2(s->isReady(), qPrintable(s->error()));
        // A port held already, so that Tolvane has something to log.
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, freeUdpPort(), QUdpSocket::DontShareAddress));
        s->setIniValue("LAN_Settings", "Port", QString::number(holder.localPort()));

        QElapsedTimer started;
        started.start();
        QProcess* tolvane = s->startProgram("/usr/bin/Tolvane"); // as the link a user types
        QVERIFY2(
            E2eSession::waitFor([&] { return !desktop.trayIcons("Tolvane").isEmpty(); }, 60000),
            qPrintable(tolvane->readAllStandardError() + s->logText("Tolvane.log")));
        qInfo("installed Tolvane: start to tray icon %lld ms", started.elapsed());
        QTRY_VERIFY_WITH_TIMEOUT(!s->iniValue("Reminder", "NextDate").isNull(), 20000);
        QTRY_VERIFY(QFile::exists(s->userFile("data", "KV_Data.mdb")));
        QTRY_VERIFY(s->logText("Tolvane.log").contains("LANInit: UDP port"));

        const Date due = Clock::now().withoutSeconds().addMinutes(1);
        QProcess* add =
            s->startProgram("/usr/bin/Kalvex", {"--add", "מהחבילה", "--at", formatIsoMinute(due)});
        QVERIFY(add->waitForFinished(20000));
        const int id = add->readAllStandardOutput().trimmed().toInt();
        QVERIFY2(id > 0, add->readAllStandardError().constData());
        QVERIFY(E2eSession::waitFor([&] { return Clock::now() > due; }, 65000));
        QTRY_VERIFY_WITH_TIMEOUT(
            runningKalvexOn<KalvexKVClassDebugInterface>(s->bus())->AlertIds().value().contains(id),
            30000);
        QCOMPARE(snapshot(), installed);
        QVERIFY(!QFile::exists(s->dataHome() + "/dbus-1/services/Kalvex.KVClass.service"));
        const QString database = s->userFile("data", "KV_Data.mdb");
        const QStringList usersFiles = {database, s->userFile("config", "Kalvex.ini"),
                                        s->userFile("state", "Tolvane.log")};

        PrivateMounts::removeOverlays();
        RAN(dpkg({"--remove", "veltrum-reminder"}));
        QVERIFY(!QFile::exists(root() + kProgramDir + "/Kalvex"));
        RAN(dpkg({"--purge", "veltrum-reminder"}));
        QVERIFY(!QFile::exists(root() + "/etc/xdg/autostart/veltrum-reminder.desktop"));
        for (const QString& file : usersFiles)
            QVERIFY2(QFile::exists(file), qPrintable(file));
        QCOMPARE(openOrCreateDb(database)->scalar("SELECT COUNT(*) FROM Main_tbl").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(PackageE2e)
#include "tst_e2e_package.moc"
