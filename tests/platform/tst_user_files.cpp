// Where each user's files go (beside the programs, or in the user's XDG folders), what is told
// when they cannot be written, and the auto-start entry a package gives every user.
#include "platform/AutoStart.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "platform/UserFiles.h"
#include "tests/support/PrivateMounts.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kXdgHomes = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"};

// Where a dataFile, configFile and stateFile of that name went.
QStringList placesOf(const QString& name)
{
    return {UserFiles::dataFile(name), UserFiles::configFile(name), UserFiles::stateFile(name)};
}

} // namespace

class UserFilesTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

    void setXdg(const QStringList& values)
    {
        for (qsizetype i = 0; i < kXdgHomes.size(); ++i)
            if (values.value(i).isNull())
                qunsetenv(kXdgHomes[i].toLatin1());
            else
                qputenv(kXdgHomes[i].toLatin1(), values[i].toUtf8());
    }

private slots:
    void init() { qputenv("HOME", m_home.path().toUtf8()); }
    void cleanup()
    {
        ProgramDir::setOverride(QString());
        setXdg({});
        qunsetenv("XDG_CONFIG_DIRS");
    }

    // A program directory this user can write keeps everything; one under /usr or missing sends
    // the files to the XDG folders, whose variables count only as absolute paths.
    void whereEachUsersFilesGo()
    {
        QTemporaryDir programs;
        const QString h = m_home.path();
        const QString name = "f";
        using Case = std::tuple<QString, QStringList, QStringList>;
        for (const auto& [programDir, xdg, expected] :
             {Case{programs.path(),
                   {h + "/d", h + "/c", h + "/s"},
                   {programs.filePath(name), programs.filePath(name), programs.filePath(name)}},
              Case{"/usr/share",
                   {h + "/d", h + "/c", h + "/s"}, // root may write it
                   {h + "/d/veltrum-reminder/f", h + "/c/veltrum-reminder/f",
                    h + "/s/veltrum-reminder/f"}},
              Case{programs.path() + "/missing",
                   {}, // the XDG defaults
                   {h + "/.local/share/veltrum-reminder/f", h + "/.config/veltrum-reminder/f",
                    h + "/.local/state/veltrum-reminder/f"}},
              Case{"/usr/lib/veltrum-reminder",
                   {"rel", "", "rel/s"},
                   {h + "/.local/share/veltrum-reminder/f", h + "/.config/veltrum-reminder/f",
                    h + "/.local/state/veltrum-reminder/f"}}}) {
            ProgramDir::setOverride(programDir);
            setXdg(xdg);
            QCOMPARE(placesOf(name), expected);
            QCOMPARE(UserFiles::besidePrograms(), programDir == programs.path());
        }
        // The folders made on the way, private to the user as the XDG rules ask.
        for (const QString& folder :
             {h + "/.local", h + "/.local/state", h + "/.local/state/veltrum-reminder"})
            QCOMPARE(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions());
        QVERIFY(!QDir(programs.path() + "/missing").exists());
    }

    // Folders that cannot be written are told in Hebrew, each reason its own words.
    void unwritableFoldersAreTold()
    {
        ProgramDir::setOverride("/usr/lib/veltrum-reminder");
        QTemporaryDir disk;
        QString error;
        const bool mounted = PrivateMounts::smallDisk(disk.path(), 64 * 1024, &error);
        if (mounted) {
            setXdg({disk.path() + "/d", disk.path() + "/c", disk.path() + "/s"});
            UserFiles::folder(UserFiles::Kind::State); // made while there is room
            PrivateMounts::fill(disk.path() + "/filler");
            QVERIFY_THROWS_EXCEPTION(Failure, UserFiles::checkWritable());
            try {
                UserFiles::checkWritable();
            } catch (const Failure& e) {
                QVERIFY2(e.description().contains("אין מקום פנוי בדיסק"),
                         qPrintable(e.description()));
                QVERIFY2(e.description().contains(disk.path()), qPrintable(e.description()));
            }
            QCOMPARE(QDir(disk.path() + "/d/veltrum-reminder").entryList(QDir::Files),
                     QStringList());
            PrivateMounts::unmount(disk.path());
        }
        const QString locked = m_home.path() + "/locked";
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        setXdg({locked, locked, locked});
        {
            AsFileOwner asOwner; // root writes anywhere otherwise
            try {
                UserFiles::checkWritable();
                QFAIL("a folder that cannot be made passed");
            } catch (const Failure& e) {
                QVERIFY2(e.description().contains("אין הרשאה לכתוב בה"),
                         qPrintable(e.description()));
            }
        }
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        if (!mounted)
            QSKIP(qPrintable("the full disk needs " + error));
    }

    // The system's entry counts until the user's own says otherwise; switching auto-start off
    // hides it for this user alone, and on again for the same program takes the user's own away.
    void theSystemsAutoStartEntryAndTheUsersOwn()
    {
        QTemporaryDir system;
        setXdg({m_home.path() + "/d", m_home.path() + "/c", m_home.path() + "/s"});
        qputenv("XDG_CONFIG_DIRS", (system.path() + ":/nonexistent").toUtf8());
        QVERIFY(QDir().mkpath(system.path() + "/autostart"));
        writeBytes(system.path() + "/autostart/veltrum-reminder.desktop",
                   "[Desktop Entry]\nType=Application\nName=Veltrum Reminder\n"
                   "Exec=/usr/lib/veltrum-reminder/Tolvane\n");
        const AutoStart::Entry entry{"Veltrum Reminder", "veltrum-reminder"};
        const QString installed = "/usr/lib/veltrum-reminder/Tolvane";
        const auto userFiles = [this] {
            return QDir(m_home.path() + "/c/autostart").entryList(QDir::Files);
        };
        QCOMPARE(AutoStart::program(entry).value_or("none"), installed);
        AutoStart::remove(entry);
        QCOMPARE(AutoStart::program(entry).value_or("none"), QString("none"));
        QCOMPARE(userFiles(), QStringList{"veltrum-reminder.desktop"});
        AutoStart::set(entry, "/home/dana/copy/Tolvane", "icon");
        QCOMPARE(AutoStart::program(entry).value_or("none"), QString("/home/dana/copy/Tolvane"));
        QCOMPARE(userFiles(),
                 (QStringList{"Veltrum Reminder.desktop", "veltrum-reminder.desktop"}));
        AutoStart::set(entry, installed, "icon");
        QCOMPARE(AutoStart::program(entry).value_or("none"), installed);
        QCOMPARE(userFiles(), QStringList{});
    }
};

QTEST_GUILESS_MAIN(UserFilesTest)
#include "tst_user_files.moc"
