#include "Database.h"
#include "Failure.h"
#include "ProgramDir.h"
#include "Queries.h"
#include "Recordset.h"
#include "StoreTestFiles.h"
#include "TempProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

const QFile::Permissions kReadOnlyDir = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
const QFile::Permissions kPrivateDir = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// What a user without write access to the program directory tries, in a
// child process (as nobody when the tests run as root, who may write
// anywhere). Exit 0: the write failed with a Failure; 1: it went through.
// Reading an existing database must still work.
int childWithoutWriteAccess(const QString& dir, const QString& what)
{
    ProgramDir::setOverride(dir);
    try {
        auto db = OpenReminderDb();
        if (what == "write") {
            std::printf("read %d rows\n", Snapshot(*db, Queries::all).recordCount());
            Dynaset rs(*db, Queries::all);
            rs.addNew();
            rs.update();
        }
        return 1;
    } catch (const Failure& e) {
        std::printf("failed: %s\n", qPrintable(e.description()));
        return 0;
    }
}

} // namespace

class TestStoreBadFiles : public QObject
{
    Q_OBJECT

private slots:
    void foreignFileIsNeverUsedOrReplaced_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("foreignSql");
        QTest::newRow("junk bytes") << QByteArray(4096, '\x5a') << QString();
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("other sqlite db")
            << QByteArray() << "CREATE TABLE Other (x); INSERT INTO Other VALUES (1);";
    }

    void foreignFileIsNeverUsedOrReplaced()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, foreignSql);
        TempProgramDir dir;
        const QString path = reminderDbPath();
        if (foreignSql.isEmpty())
            writeBytes(path, content);
        else
            rawSql(path, foreignSql);
        const QByteArray before = fileBytes(path);

        QVERIFY_THROWS_EXCEPTION(Failure, OpenReminderDb());
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"KV_Data.mdb"});
    }

    // The file appears complete on first use and no temporary file stays.
    void missingFileIsCreatedComplete()
    {
        TempProgramDir dir;
        OpenReminderDb()->exec("INSERT INTO Main_tbl (RCaption) VALUES ('kept')");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"KV_Data.mdb"});
        QCOMPARE(Snapshot(*OpenReminderDb(), Queries::all).recordCount(), 1);
    }

    void readOnlyProgramDirectoryRefusesWrites_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("create the file") << "create";
        QTest::newRow("write a row") << "write";
    }

    void readOnlyProgramDirectoryRefusesWrites()
    {
        QFETCH(QString, what);
        TempProgramDir dir;
        QByteArray before;
        if (what == "write") {
            OpenReminderDb()->exec("INSERT INTO Main_tbl (RCaption) VALUES ('one')");
            before = fileBytes(reminderDbPath());
        }
        // A copy of this test that the child's user can reach and run.
        QTemporaryDir binDir;
        const QString child = binDir.filePath("child");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), child));
        QVERIFY(QFile::setPermissions(binDir.path(), kReadOnlyDir));
        QVERIFY(QFile::setPermissions(child, kReadOnlyDir));
        QVERIFY(QFile::setPermissions(dir.path(), kReadOnlyDir));

        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QStringList args{"--child-without-write-access", dir.path(), what};
        if (::geteuid() == 0)
            p.start("setpriv",
                    QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", child} + args);
        else
            p.start(child, args);
        const bool finished = p.waitForFinished(30000);
        QVERIFY(QFile::setPermissions(dir.path(), kPrivateDir));
        QVERIFY(QFile::setPermissions(binDir.path(), kPrivateDir));
        QVERIFY(finished);
        const QByteArray output = p.readAll();
        if (p.exitCode() != 0 && output.contains("setpriv"))
            QSKIP("cannot switch to the user nobody here");
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, output.constData());

        QVERIFY(what == "create"
                    ? !QFile::exists(reminderDbPath())
                    : output.contains("read 1 rows") && fileBytes(reminderDbPath()) == before);
    }
};

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--child-without-write-access")
        return childWithoutWriteAccess(QString::fromLocal8Bit(argv[2]),
                                       QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    TestStoreBadFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store_badfiles.moc"
