// What an installation for every user adds to the shared files: the office's settings and
// locks, the activation file the package gives every user, and the database an earlier,
// copied installation left.
#include "common/ActivationFile.h"
#include "common/AutoRunEntry.h"
#include "common/EarlierInstallation.h"
#include "common/Ini.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "platform/UserFiles.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Under /usr: the user's files go to the XDG folders, whoever runs the test.
const QString kInstalled = QStringLiteral("/usr/lib/veltrum-reminder-test");

} // namespace

class UserSettingsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    void office(const QString& dir, const QByteArray& text)
    {
        QVERIFY(QDir().mkpath(path(dir + "/veltrum-reminder")));
        writeBytes(path(dir + "/veltrum-reminder/Kalvex.ini"), text);
    }
    // An earlier installation in "old dir" with a database, started at log-on by the user's entry.
    QString earlier()
    {
        QDir().mkpath(path("old dir"));
        writeBytes(path("old dir/KV_Data.mdb"), "SQLite format 3 with the reminders");
        writeBytes(path("old dir/Kalvex.ini"), "[LAN_Settings]\r\nNick=dana\r\n");
        writeBytes(path("old dir/Kalvex.key"), "the key pair");
        writeBytes(path("old dir/Kalvex.replay"), "what the broker delivered");
        AutoStart::set({AutoRunEntry::entry.name, "none"}, path("old dir/Tolvane"), "icon");
        return path("old dir/KV_Data.mdb");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramDir::setOverride(kInstalled);
        for (const char* name : {"DATA_HOME", "CONFIG_HOME", "STATE_HOME", "DATA_DIRS"})
            qputenv(QByteArray("XDG_") + name, path(name).toUtf8());
        qputenv("XDG_CONFIG_DIRS", (path("etc1") + ':' + path("etc2")).toUtf8());
    }
    void cleanup() { ProgramDir::setOverride(QString()); }

    // The office's values stand in for the user's missing ones, the first file before the next;
    // a locked key reads as the office's (or the default) and is not written.
    void theOfficesSettingsAndLocks()
    {
        office("etc1",
               "[LAN_Settings]\r\nPort=3217\r\n[Locked]\r\nLAN_Settings=Nick, OptReceive\r\n");
        office("etc2", "[LAN_Settings]\r\nPort=9\r\nNick=\xE3\xF0\xE9\r\nOptSend=0\r\n"); // 1255
        writeBytes(iniFilePath(), "[LAN_Settings]\r\nOptSend=1\r\nNick=me\r\nOptReceive=1\r\n");
        const QStringList expected[] = {{"Port", "3217"},       // the office's, the first file's
                                        {"OptSend", "1"},       // the user's own
                                        {"Nick", "דני"},        // locked, the second file's value
                                        {"OptReceive", "DEF"}}; // locked without a value
        for (const QStringList& e : expected)
            QCOMPARE(ReadIni("LAN_Settings", e[0], "DEF"), e[1]);
        const QByteArray before = fileBytes(iniFilePath());
        QVERIFY(WriteIni("LAN_Settings", "Nick", "yossi"));
        QCOMPARE(fileBytes(iniFilePath()), before);
        QVERIFY(isLockedByOffice("lan_settings", "optreceive"));
        QVERIFY(!isLockedByOffice("LAN_Settings", "Port"));
    }

    // The bus goes by the user's file before the system's; the system's alone may start us.
    void theActivationFileInForce()
    {
        const QString system = path("DATA_DIRS/dbus-1/services/Kalvex.KVClass.service");
        QDir().mkpath(QFileInfo(system).path());
        writeBytes(system, ActivationFile::textFor(kInstalled).toUtf8());
        QCOMPARE(ActivationFile::inForce().value_or("none"), system);
        QVERIFY(ActivationFile::starts(ActivationFile::inForce(), kInstalled));
        QVERIFY(!ActivationFile::startsAnotherKalvex(kInstalled));
        QDir().mkpath(QFileInfo(ActivationFile::path()).path());
        writeBytes(ActivationFile::path(), ActivationFile::textFor(path("old dir")).toUtf8());
        QCOMPARE(ActivationFile::inForce().value_or("none"), ActivationFile::path());
        QVERIFY(ActivationFile::startsAnotherKalvex(kInstalled));
        QCOMPARE(ActivationFile::programOf(ActivationFile::path()).value_or("none"),
                 path("old dir/Kalvex"));
        QVERIFY(ActivationFile::starts(ActivationFile::systemWide(), kInstalled));
    }

    // Found through the auto-start entry, moved whole with its key, the original kept under a new
    // name, the entry then starting this installation; not offered again.
    void anEarlierDatabaseIsMovedAndKept()
    {
        const QString old = earlier();
        QCOMPARE(EarlierInstallation::database().value_or("none"), old);
        EarlierInstallation::move(old);
        QCOMPARE(fileBytes(UserFiles::dataFile("KV_Data.mdb")),
                 QByteArray("SQLite format 3 with the reminders"));
        QCOMPARE(fileBytes(old + ".moved"), QByteArray("SQLite format 3 with the reminders"));
        QVERIFY(!QFile::exists(old));
        QCOMPARE(ReadIni("LAN_Settings", "Nick", ""), QString("dana"));
        QCOMPARE(AutoStart::usersProgram(AutoRunEntry::entry.name).value_or("none"),
                 kInstalled + "/Tolvane");
        const QStringList moved =
            QDir(UserFiles::folder(UserFiles::Kind::Data)).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(moved.begin(), moved.end()),
                 (QSet<QString>{"KV_Data.mdb", "Kalvex.key",
                                "Kalvex.replay"})); // the order follows the locale
        QCOMPARE(fileBytes(UserFiles::dataFile("Kalvex.key")), QByteArray("the key pair"));
        QCOMPARE(EarlierInstallation::database().value_or("none"), QString("none"));
    }

    // Never with unfinished work beside it, never over a database of the user's; a refusal holds.
    void anEarlierDatabaseIsLeftAlone()
    {
        const QString old = earlier();
        writeBytes(old + "-journal", "unfinished");
        QVERIFY_THROWS_EXCEPTION(Failure, EarlierInstallation::move(old));
        QVERIFY(QFile::exists(old));
        QVERIFY(!QFile::exists(UserFiles::dataFile("KV_Data.mdb")));
        QFile::remove(old + "-journal");
        EarlierInstallation::leave(old);
        QCOMPARE(EarlierInstallation::database().value_or("none"), QString("none"));
        writeBytes(iniFilePath(), "");
        writeBytes(UserFiles::dataFile("KV_Data.mdb"), "mine");
        QCOMPARE(EarlierInstallation::database().value_or("none"), QString("none"));
        QVERIFY_THROWS_EXCEPTION(Failure, EarlierInstallation::move(old));
        QCOMPARE(fileBytes(UserFiles::dataFile("KV_Data.mdb")), QByteArray("mine"));
        QVERIFY(QFile::exists(old));
    }
};

QTEST_GUILESS_MAIN(UserSettingsTest)
#include "tst_user_settings.moc"
