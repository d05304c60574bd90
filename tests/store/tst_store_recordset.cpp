#include "Clock.h"
#include "Database.h"
#include "Failure.h"
#include "Queries.h"
#include "Recordset.h"
#include "Reminder.h"
#include "TempProgramDir.h"

#include <QTest>

namespace {

Date pinnedNow()
{
    return Date::fromParts(2026, 3, 27, 1, 30, 15);
}

QString caption(const RowCursor& rs)
{
    return rs.value("RCaption").toString();
}

QStringList captions(Database& db, const QString& sql)
{
    QStringList list;
    Snapshot rs(db, sql);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        list << caption(rs);
    return list;
}

int rowCount(Database& db)
{
    return db.scalar("SELECT count(*) FROM Main_tbl").toInt();
}

const QString kOrdered = Queries::all + " ORDER BY RMain_Id";

} // namespace

// Five reminders "r0".."r4" in a fresh database for every test.
class TestStoreRecordset : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempProgramDir> m_dir;
    std::unique_ptr<Database> m_db;

private slots:
    void init()
    {
        Clock::setNow(pinnedNow());
        m_dir = std::make_unique<TempProgramDir>();
        m_db = OpenReminderDb();
        for (int i = 0; i < 5; ++i)
            m_db->execute("INSERT INTO Main_tbl (RCaption, RActive) VALUES (?, 1)",
                          {QString("r%1").arg(i)});
    }
    void cleanup()
    {
        m_db.reset();
        m_dir.reset();
        Clock::useSystemClock();
    }

    void snapshotPositionsFollowTheEngine()
    {
        Snapshot rs(*m_db, kOrdered + " DESC");
        QCOMPARE(caption(rs), QString("r4"));
        rs.moveLast();
        rs.moveNext();
        QVERIFY(rs.eof() && !rs.hasCurrent());
        QCOMPARE(rs.absolutePosition(), -1);
        QVERIFY_THROWS_EXCEPTION(Failure, rs.moveNext());
        rs.movePrevious();
        QCOMPARE(caption(rs), QString("r0"));
        QCOMPARE(rs.absolutePosition(), 4);
        rs.moveFirst();
        rs.movePrevious();
        QVERIFY(rs.bof());
        QVERIFY_THROWS_EXCEPTION(Failure, rs.value("RCaption"));
    }

    void dynasetAddsWithTheTableDefaults()
    {
        Dynaset rs(*m_db, Queries::all);
        rs.addNew();
        QCOMPARE(rs.value("IAMAuthor").toInt(), 1);
        rs.update();
        const qint64 id = rs.lastModifiedId();
        QCOMPARE(rs.value("RMain_Id").toLongLong(), id); // the new row is current
        QCOMPARE(rs.recordCount(), 6);

        // Identities are never handed out twice, not even after a delete.
        rs.deleteCurrent();
        rs.addNew();
        rs.update();
        QVERIFY(rs.lastModifiedId() > id);
    }

    // An edit stores only the fields it changed, so a change another
    // connection made meanwhile to other fields survives and shows.
    void dynasetEditWritesOnlyChangedFields()
    {
        Dynaset rs(*m_db, kOrdered);
        QCOMPARE(caption(rs), QString("r0")); // the row has been read
        OpenReminderDb()->exec(
            "UPDATE Main_tbl SET RDetail = 'from the LAN' WHERE RCaption = 'r0'");
        rs.edit();
        rs.setValue("RNext", dateValue(pinnedNow()));
        QCOMPARE(dateField(rs.value("RNext")), pinnedNow()); // the edit buffer
        rs.update();
        Snapshot stored(*m_db, Queries::byId(rs.lastModifiedId()));
        QCOMPARE(dateField(stored.value("RNext")), pinnedNow());
        QCOMPARE(stored.value("RDetail").toString(), QString("from the LAN"));

        // Moving away drops an unfinished edit.
        rs.edit();
        rs.setValue("RCaption", QString("dropped"));
        rs.moveFirst();
        QVERIFY_THROWS_EXCEPTION(Failure, rs.update());
        QCOMPARE(caption(rs), QString("r0"));
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
        QCOMPARE(rowCount(*m_db), 4);
    }

    // "Now()" in the shared queries is the clock seam's now, compared strictly.
    void dueQueryUsesThePinnedClock()
    {
        m_db->exec("DELETE FROM Main_tbl");
        const Date now = Clock::now();
        const QList<std::pair<QString, Date>> rows = {{"late", now.addSeconds(-1)},
                                                      {"exactly now", now},
                                                      {"soon", now.addSeconds(1)},
                                                      {"earliest", now.addDays(-3)}};
        for (const auto& [name, next] : rows)
            m_db->execute("INSERT INTO Main_tbl (RCaption, RNext, RActive) VALUES (?, ?, 1)",
                          {name, dateValue(next)});
        m_db->exec("UPDATE Main_tbl SET RActive = 0 WHERE RCaption = 'earliest'");

        QCOMPARE(captions(*m_db, Queries::due), QStringList({"late"}));
        Clock::advance(1);
        QCOMPARE(captions(*m_db, Queries::due + " ORDER BY RNext"),
                 QStringList({"late", "exactly now"}));
        QList<Date> byNext;
        RowReader reader(*m_db, Queries::activeByNext);
        while (reader.next())
            byNext << dateField(reader.value("RNext"));
        QCOMPARE(byNext, QList<Date>({now.addSeconds(-1), now, now.addSeconds(1)}));
    }
};

QTEST_GUILESS_MAIN(TestStoreRecordset)
#include "tst_store_recordset.moc"
