#include "Database.h"
#include "Failure.h"
#include "Queries.h"
#include "Recordset.h"
#include "Reminder.h"
#include "TempProgramDir.h"

#include <QTest>

// Two reminders "r0" and "r1" in a fresh database for every test.
class TestStoreRecordset : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempProgramDir> m_dir;
    std::unique_ptr<Database> m_db;
    const QString kOrdered = Queries::all + " ORDER BY RMain_Id";

private slots:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        m_db = OpenReminderDb();
        m_db->exec("INSERT INTO Main_tbl (RCaption, RActive) VALUES ('r0', 1), ('r1', 1)");
    }
    void cleanup()
    {
        m_db.reset();
        m_dir.reset();
    }

    // An edit stores only the fields it changed, so a change another
    // connection made meanwhile to other fields survives; identities are
    // never handed out twice, not even after a delete.
    void dynasetEditWritesOnlyChangedFields()
    {
        Dynaset rs(*m_db, kOrdered);
        QCOMPARE(rs.value("RCaption").toString(), QString("r0")); // the row has been read
        OpenReminderDb()->exec(
            "UPDATE Main_tbl SET RDetail = 'from the LAN' WHERE RCaption = 'r0'");
        rs.edit();
        rs.setValue("RNext", 46000.5);
        rs.update();
        Snapshot stored(*m_db, Queries::byId(rs.lastModifiedId()));
        QCOMPARE(stored.value("RNext").toDouble(), 46000.5);
        QCOMPARE(stored.value("RDetail").toString(), QString("from the LAN"));

        // Moving away drops an unfinished edit.
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
    }

    void dynasetOnRowsDeletedMeanwhile()
    {
        Dynaset rs(*m_db, kOrdered);
        m_db->exec(QString("DELETE FROM Main_tbl WHERE RMain_Id = %1")
                       .arg(rs.value("RMain_Id").toLongLong()));
        rs.edit();
        rs.setValue("RCaption", QString("back from the dead"));
        QVERIFY_THROWS_EXCEPTION(Failure, rs.update());
        rs.cancelUpdate();
        QVERIFY_THROWS_EXCEPTION(Failure, rs.deleteCurrent());
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Main_tbl").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStoreRecordset)
#include "tst_store_recordset.moc"
