// Record sets on real files: edits, deletes and files they must not use or change.
#include "platform/Failure.h"
#include "store/KeyedRows.h"
#include "store/LikePattern.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "tests/support/StoreTestFiles.h"
#include "tests/support/TempProgramDir.h"

#include <QDir>
#include <QTest>

class TestStoreRecordset : public QObject
{
    Q_OBJECT

private slots:
    // An edit stores only the fields it changed (another connection's change survives);
    // moving away drops an unfinished edit; identities are never handed out twice; rows
    // deleted meanwhile are neither written back nor deleted again.
    void dynasetEditsDeletesAndIdentities()
    {
        TempProgramDir dir;
        auto db = OpenReminderDb();
        db->exec("INSERT INTO Main_tbl (RCaption, RActive) VALUES ('r0', 1), ('r1', 1)");
        Dynaset rs(*db, Queries::all + " ORDER BY RMain_Id");
        QCOMPARE(rs.value("RCaption").toString(), QString("r0"));
        OpenReminderDb()->exec(
            "UPDATE Main_tbl SET RDetail = 'from the LAN' WHERE RCaption = 'r0'");
        rs.edit();
        rs.setValue("RNext", 46000.5);
        rs.update();
        Snapshot stored(*db, Queries::byId(rs.lastModifiedId()));
        QCOMPARE(stored.value("RNext").toDouble(), 46000.5);
        QCOMPARE(stored.value("RDetail").toString(), QString("from the LAN"));

        rs.edit();
        rs.setValue("RCaption", QString("dropped"));
        rs.moveFirst();
        QVERIFY_THROWS_EXCEPTION(Failure, rs.update());
        QCOMPARE(rs.value("RCaption").toString(), QString("r0"));

        rs.moveLast();
        const qint64 last = rs.value("RMain_Id").toLongLong();
        rs.deleteCurrent();
        rs.addNew();
        rs.update();
        QVERIFY(rs.lastModifiedId() > last);

        rs.moveFirst();
        db->exec(QString("DELETE FROM Main_tbl WHERE RMain_Id = %1")
                     .arg(rs.value("RMain_Id").toLongLong()));
        rs.edit();
        rs.setValue("RCaption", QString("back from the dead"));
        QVERIFY_THROWS_EXCEPTION(Failure, rs.update());
        rs.cancelUpdate();
        QVERIFY_THROWS_EXCEPTION(Failure, rs.deleteCurrent());
        QCOMPARE(db->scalar("SELECT count(*) FROM Main_tbl").toInt(), 1);
    }

    // Every form of the record sets' Like pattern, on and just past the edges of its ranges;
    // letters in any case, inside a list too.
    void likePatternsMatchEveryForm()
    {
        // A pattern, the texts it matches, then those it does not.
        const QList<std::tuple<QString, QStringList, QStringList>> cases = {
            {"ab*", {"ab", "ABc", "abab"}, {"a", "cab", ""}},
            {"*b*", {"b", "aBc"}, {"", "ac"}},
            {"a*b*c", {"abc", "axxbyyc", "abcbc"}, {"axxcyyb", "abcd"}},
            {"a?c", {"abc", "a c", "aאc"}, {"ac", "abbc"}},
            {"#x", {"0x", "9x", "5X"}, {"/x", ":x", "ax", "\u0663x", "x"}},
            {"[c-e]", {"c", "d", "e", "C", "E"}, {"b", "f", "", "cc"}},
            {"[C-E]", {"c", "e", "D"}, {"b", "f"}},
            {"[!c-e]", {"b", "f", "!"}, {"c", "e", "D", ""}},
            {"[aC]", {"a", "A", "c", "C"}, {"b"}},
            {"[-a][a-]", {"--", "aA", "-a"}, {"b-", "-b"}},
            {"[*][?][#][[]", {"*?#["}, {"x?#[", "*x#[", "*?5["}},
            {"[]x", {"x"}, {"ax", "[]x"}},
            {"[!]", {"!"}, {"a"}},
            {"*עם*", {"פגישה עם דנה"}, {"פגישה"}}};
        const auto result = [](const QString& pattern, const QString& text) {
            try {
                return pattern + " on " + text +
                       (LikePattern(pattern).matches(text) ? ": yes" : ": no");
            } catch (const std::exception& e) {
                return pattern + ": " + describe(e);
            }
        };
        for (const auto& [pattern, matching, others] : cases) {
            for (const QString& text : matching)
                QCOMPARE(result(pattern, text), pattern + " on " + text + ": yes");
            for (const QString& text : others)
                QCOMPARE(result(pattern, text), pattern + " on " + text + ": no");
        }
        for (const QString broken : {"[a", "[e-c]", "a[!"})
            QCOMPARE(result(broken, "a"), broken + ": Invalid pattern string");
    }

    // A keyed snapshot holds the rows of the plain one, in its order, across pages; a row
    // deleted after the order was read keeps its id and reads null; the connection outlives
    // the handle it was read through; requery reads the order afresh.
    void keyedSnapshotReadsRowsWhenAskedFor()
    {
        TempProgramDir dir;
        auto db = OpenReminderDb();
        const int rows = 2 * KeyedRows::kPageRows + 5;
        db->exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                         "%1) INSERT INTO Main_tbl (RCaption, RDate, RActive) SELECT 'r' || i, "
                         "i % 7, i % 2 FROM n")
                     .arg(rows));
        const QString order = Queries::listOrder(0, "RDate", true);
        Snapshot keyed = Snapshot::keyed(*db, order);
        Snapshot plain(*db, Queries::list(0, "RDate", true));
        QCOMPARE(keyed.recordCount(), plain.recordCount());
        QCOMPARE(keyed.fields(), plain.fields());
        for (; !plain.eof(); plain.moveNext(), keyed.moveNext())
            for (const QString& field : plain.fields())
                QCOMPARE(keyed.value(field), plain.value(field));

        Snapshot unread = Snapshot::keyed(*db, order);
        unread.moveLast();
        const qint64 gone = unread.value("RMain_Id").toLongLong();
        db->exec(QString("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(gone));
        db.reset();
        QCOMPARE(unread.value("RMain_Id").toLongLong(), gone);
        QVERIFY(unread.value("RCaption").isNull());
        unread.requery(*OpenReminderDb());
        QCOMPARE(unread.recordCount(), plain.recordCount() - 1);
    }

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

    // Without write access to the program directory: reads work, a write fails harmlessly.
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

QTEST_GUILESS_MAIN(TestStoreRecordset)
#include "tst_store_recordset.moc"
