#include "Failure.h"
#include "Queries.h"
#include "Recordset.h"
#include "StoreTestFiles.h"
#include "TempProgramDir.h"

#include <QDir>
#include <QTest>

class TestStoreBadFiles : public QObject
{
    Q_OBJECT

private slots:
    // Neither used nor replaced, and nothing left beside it.
    void foreignFileIsNeverUsedOrReplaced()
    {
        for (const char* foreignSql :
             {"", "CREATE TABLE Other (x); INSERT INTO Other VALUES (1);"}) {
            TempProgramDir dir;
            if (*foreignSql)
                rawSql(reminderDbPath(), foreignSql);
            else
                writeBytes(reminderDbPath(), QByteArray(4096, '\x5a'));
            const QByteArray before = fileBytes(reminderDbPath());
            QVERIFY_THROWS_EXCEPTION(Failure, OpenReminderDb());
            QCOMPARE(fileBytes(reminderDbPath()), before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"KV_Data.mdb"});
        }
    }

    // A user without write access to the program directory still reads; a
    // write fails with a Failure and changes nothing.
    void readOnlyProgramDirectoryRefusesWrites()
    {
        TempProgramDir dir;
        OpenReminderDb()->exec("INSERT INTO Main_tbl (RCaption) VALUES ('one')");
        const QByteArray before = fileBytes(reminderDbPath());
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QFile::setPermissions(reminderDbPath(), QFile::ReadOwner);
        {
            AsFileOwner owner;
            auto db = OpenReminderDb();
            QCOMPARE(Snapshot(*db, Queries::all).recordCount(), 1);
            Dynaset rs(*db, Queries::all);
            rs.addNew();
            QVERIFY_THROWS_EXCEPTION(Failure, rs.update());
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(fileBytes(reminderDbPath()), before);
    }
};

QTEST_GUILESS_MAIN(TestStoreBadFiles)
#include "tst_store_badfiles.moc"
