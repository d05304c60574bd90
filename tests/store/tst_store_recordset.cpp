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

// Five reminders "r0".."r4", due one day apart, all active.
void addFiveRows(Database& db)
{
    for (int i = 0; i < 5; ++i)
        db.execute(
            QStringLiteral(
                "INSERT INTO Main_tbl (RCaption, RDate, RNext, RActive) VALUES (?, ?, ?, 1)"),
            {QString("r%1").arg(i), dateValue(pinnedNow().addDays(i)),
             dateValue(pinnedNow().addDays(i))});
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

const QString kOrdered = Queries::all + " ORDER BY RMain_Id";

} // namespace

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
        addFiveRows(*m_db);
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
        QCOMPARE(rs.recordCount(), 5);
        QCOMPARE(rs.absolutePosition(), 0);
        QCOMPARE(caption(rs), QString("r4"));
        QVERIFY(!rs.bof() && !rs.eof());

        rs.moveLast();
        QCOMPARE(rs.absolutePosition(), 4);
        rs.moveNext();
        QVERIFY(rs.eof() && !rs.hasCurrent());
        QCOMPARE(rs.absolutePosition(), -1);
        QVERIFY_THROWS_EXCEPTION(Failure, rs.value("RCaption"));
        QVERIFY_THROWS_EXCEPTION(Failure, rs.moveNext());
        rs.movePrevious();
        QCOMPARE(caption(rs), QString("r0"));

        rs.moveFirst();
        rs.movePrevious();
        QVERIFY(rs.bof());
        QVERIFY_THROWS_EXCEPTION(Failure, rs.movePrevious());

        rs.setAbsolutePosition(2);
        QCOMPARE(caption(rs), QString("r2"));
        QVERIFY_THROWS_EXCEPTION(Failure, rs.setAbsolutePosition(5));
        QCOMPARE(caption(rs), QString("r2"));
        QVERIFY_THROWS_EXCEPTION(Failure, rs.value("NoSuchField"));
        QCOMPARE(rs.value("rcaption").toString(), QString("r2")); // field names ignore case

        Snapshot empty(*m_db, Queries::byId(999));
        QVERIFY(empty.bof() && empty.eof());
        empty.moveFirst(); // an empty walk just ends
        empty.moveLast();
        QVERIFY(!empty.hasCurrent());
        QCOMPARE(empty.absolutePosition(), -1);
    }

    void clonesAndRequery()
    {
        Snapshot list(*m_db, kOrdered);
        list.setAbsolutePosition(3);
        Snapshot walker = list.clone();
        for (walker.moveFirst(); !walker.eof(); walker.moveNext()) {
        }
        QCOMPARE(caption(list), QString("r3"));

        // A snapshot does not see later changes until it is read again.
        m_db->exec("DELETE FROM Main_tbl WHERE RCaption = 'r0'");
        m_db->exec("INSERT INTO Main_tbl (RCaption) VALUES ('r5')");
        QCOMPARE(list.recordCount(), 5);
        Snapshot copy = list.clone();
        list.requery(*m_db);
        QCOMPARE(list.absolutePosition(), 0);
        QCOMPARE(caption(list), QString("r1"));
        QCOMPARE(list.recordCount(), 5);
        list.moveLast();
        QCOMPARE(caption(list), QString("r5"));
        QCOMPARE(caption(copy), QString("r3"));
        copy.moveFirst();
        QCOMPARE(caption(copy), QString("r0"));
    }

    void findFirstAndNext()
    {
        m_db->exec("UPDATE Main_tbl SET RImportance = 2 WHERE RCaption IN ('r1', 'r3')");
        Snapshot rs(*m_db, kOrdered);
        const qlonglong id3 =
            m_db->scalar("SELECT RMain_Id FROM Main_tbl WHERE RCaption = 'r3'").toLongLong();

        rs.findFirst("RMain_Id", int(id3)); // an int finds the stored 64-bit number
        QVERIFY(!rs.noMatch());
        QCOMPARE(caption(rs), QString("r3"));

        rs.moveFirst();
        rs.findNext("RImportance", 2);
        QCOMPARE(caption(rs), QString("r1"));
        rs.findNext("RImportance", 2);
        QCOMPARE(caption(rs), QString("r3"));
        rs.findNext("RImportance", 2);
        QVERIFY(rs.noMatch());
        QCOMPARE(caption(rs), QString("r3")); // no match keeps the position
        rs.findFirst("RCaption", QString("R4"));
        QVERIFY(!rs.noMatch());
        QCOMPARE(caption(rs), QString("r4"));
        rs.findFirst("RDetail", QVariant()); // null equals nothing
        QVERIFY(rs.noMatch());
    }

    void dynasetAddsWithTheTableDefaults()
    {
        Clock::advance(90);
        Dynaset rs(*m_db, Queries::all);
        rs.addNew();
        QCOMPARE(rs.value("IAMAuthor").toInt(), 1);
        rs.setValue("RCaption", QString("new one"));
        rs.setValue("RActive", true);
        rs.update();

        const qint64 id = rs.lastModifiedId();
        QCOMPARE(id, m_db->scalar("SELECT max(RMain_Id) FROM Main_tbl").toLongLong());
        QCOMPARE(rs.value("RMain_Id").toLongLong(), id); // the new row is current
        QCOMPARE(rs.recordCount(), 6);
        QCOMPARE(dateField(rs.value("RDate0")), pinnedNow().addSeconds(90));
        QCOMPARE(rs.value("RActive").toInt(), 1);
        QCOMPARE(rs.value("SentTo").toString(), QString(""));
        QVERIFY(!rs.value("RAuthor").isValid());

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
        Dynaset rs(*m_db,
                   Queries::byId(m_db->scalar("SELECT min(RMain_Id) FROM Main_tbl").toLongLong()));
        QCOMPARE(caption(rs), QString("r0")); // the row has been read
        auto other = OpenReminderDb();
        other->exec("UPDATE Main_tbl SET RDetail = 'from the LAN' WHERE RCaption = 'r0'");

        rs.edit();
        rs.setValue("RNext", dateValue(pinnedNow().addDays(9)));
        QCOMPARE(dateField(rs.value("RNext")), pinnedNow().addDays(9)); // the edit buffer
        rs.update();
        QCOMPARE(rs.value("RDetail").toString(), QString("from the LAN"));
        Snapshot stored(*m_db, Queries::byId(rs.lastModifiedId()));
        QCOMPARE(dateField(stored.value("RNext")), pinnedNow().addDays(9));
        QCOMPARE(stored.value("RDetail").toString(), QString("from the LAN"));

        // Moving away drops an unfinished edit.
        rs.edit();
        rs.setValue("RCaption", QString("dropped"));
        rs.moveFirst();
        QVERIFY_THROWS_EXCEPTION(Failure, rs.update());
        QCOMPARE(rs.value("RCaption").toString(), QString("r0"));
    }

    void dynasetOnRowsDeletedMeanwhile()
    {
        Dynaset rs(*m_db, kOrdered);
        const qint64 id = rs.value("RMain_Id").toLongLong();
        m_db->exec(QString("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(id));

        rs.edit();
        rs.setValue("RCaption", QString("back from the dead"));
        try {
            rs.update();
            QFAIL("an update wrote a deleted row");
        } catch (const Failure& e) {
            QCOMPARE(e.description(), QString("Record is deleted."));
        }
        QCOMPARE(m_db->scalar(QString("SELECT count(*) FROM Main_tbl WHERE RMain_Id = %1").arg(id))
                     .toInt(),
                 0);
        rs.cancelUpdate();
        QVERIFY_THROWS_EXCEPTION(Failure, rs.deleteCurrent());
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Main_tbl").toInt(), 4);
    }

    void dynasetDeletesWhileWalking()
    {
        Dynaset rs(*m_db, kOrdered);
        rs.setAbsolutePosition(2);
        rs.deleteCurrent();
        QVERIFY(!rs.hasCurrent() && !rs.eof());
        QVERIFY_THROWS_EXCEPTION(Failure, rs.value("RCaption"));
        rs.moveNext(); // the row after the deleted one
        QCOMPARE(caption(rs), QString("r3"));
        QCOMPARE(rs.recordCount(), 4);
        QCOMPARE(rs.absolutePosition(), 2);

        rs.findFirst("RCaption", QString("r1"));
        QVERIFY(!rs.noMatch());
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            rs.deleteCurrent();
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Main_tbl").toInt(), 0);
    }

    // "Now()" in the shared queries is the clock seam's now, compared strictly.
    void dueQueryUsesThePinnedClock()
    {
        m_db->exec("DELETE FROM Main_tbl");
        const Date now = Clock::now();
        const struct
        {
            const char* caption;
            Date next;
            int active;
        } rows[] = {{"late", now.addSeconds(-1), 1},
                    {"exactly now", now, 1},
                    {"soon", now.addSeconds(1), 1},
                    {"off", now.addDays(-1), 0},
                    {"earliest", now.addDays(-3), 1}};
        for (const auto& r : rows)
            m_db->execute("INSERT INTO Main_tbl (RCaption, RNext, RActive) VALUES (?, ?, ?)",
                          {QString(r.caption), dateValue(r.next), r.active});

        QCOMPARE(captions(*m_db, Queries::due + " ORDER BY RNext"),
                 QStringList({"earliest", "late"}));
        Clock::advance(1);
        QCOMPARE(captions(*m_db, Queries::due + " ORDER BY RNext"),
                 QStringList({"earliest", "late", "exactly now"}));

        QList<Date> byNext;
        RowReader reader(*m_db, Queries::activeByNext);
        while (reader.next())
            byNext << dateField(reader.value("RNext"));
        QCOMPARE(byNext,
                 QList<Date>({now.addDays(-3), now.addSeconds(-1), now, now.addSeconds(1)}));
    }
};

QTEST_GUILESS_MAIN(TestStoreRecordset)
#include "tst_store_recordset.moc"
