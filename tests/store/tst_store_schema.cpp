#include "Clock.h"
#include "Database.h"
#include "Failure.h"
#include "Queries.h"
#include "Recordset.h"
#include "Reminder.h"
#include "Schema.h"
#include "StoreTestFiles.h"
#include "TempProgramDir.h"

#include <QTest>

namespace {

const QStringList kBaseFields = {"RMain_Id",     "RCaption",       "RDetail",     "RDate",
                                 "RNext",        "RImportance",    "REventType",  "RActive",
                                 "Adv_AdvOpt",   "Adv_Period",     "Adv_PeriodN", "Adv_WeekDay",
                                 "Adv_MonthDay", "Adv_MonthCount", "Adv_DateEnd", "Adv_NoEnd"};
const QStringList kLanFields = {"BroadcastId", "IAMAuthor", "ReceivedBy", "SentTo", "RAuthor"};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList allFields()
{
    return sorted(kBaseFields + QStringList{"RDate0"} + kLanFields);
}

// A function, not a global: the date type's own constants are set up at start-up too.
Date pinnedNow()
{
    return Date::fromParts(2026, 12, 5, 21, 59, 7);
}

// One field of the row just inserted with nothing but a caption.
QVariant newRowField(Database& db, const QString& field)
{
    db.exec(QStringLiteral("INSERT INTO Main_tbl (RCaption) VALUES ('new')"));
    Snapshot row(db, Queries::byId(db.lastInsertId()));
    return row.value(field);
}

void verifyActiveQueriesUseTheIndex(Database& db)
{
    const QString plan = queryPlan(db, Queries::activeByNext);
    QVERIFY2(plan.contains("INDEX Main_tbl_RActive_RNext") && !plan.contains("TEMP B-TREE"),
             qPrintable(plan));
    QVERIFY2(queryPlan(db, Queries::due).contains("INDEX Main_tbl_RActive_RNext"),
             qPrintable(plan));
}

} // namespace

class TestStoreSchema : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::setNow(pinnedNow()); }
    void cleanup() { Clock::useSystemClock(); }

    void freshDatabaseHasEveryFieldWithItsDefaults()
    {
        TempProgramDir dir;
        auto db = OpenReminderDb();
        QCOMPARE(GetDbVersion(*db), short(200));
        QCOMPARE(sorted(columnsOf(*db)), allFields());
        verifyActiveQueriesUseTheIndex(*db);

        db->exec(QStringLiteral("INSERT INTO Main_tbl (RCaption) VALUES ('x')"));
        Snapshot row(*db, Queries::byId(db->lastInsertId()));
        QCOMPARE(dateField(row.value("RDate0")), pinnedNow());
        QCOMPARE(row.value("IAMAuthor").toInt(), 1);
        QCOMPARE(row.value("BroadcastId").toInt(), 0);
        QVERIFY(row.value("SentTo").isValid());
        QCOMPARE(row.value("SentTo").toString(), QString());
        QVERIFY(row.value("ReceivedBy").isValid());
        QCOMPARE(row.value("ReceivedBy").toString(), QString());
        QVERIFY(!row.value("RAuthor").isValid());
        QCOMPARE(row.value("RActive").toInt(), 0);
        QVERIFY(!row.value("RDetail").isValid());
        QCOMPARE(FieldText(row.value("RDetail")), QString(""));

        // A date given on insert is kept; the insert time fills only a missing one.
        Clock::advance(3600);
        db->exec(QStringLiteral("INSERT INTO Main_tbl (RCaption, RDate0) VALUES ('y', 100.5)"));
        QCOMPARE(Snapshot(*db, Queries::byId(db->lastInsertId())).value("RDate0").toDouble(),
                 100.5);
        QCOMPARE(dateField(newRowField(*db, "RDate0")), pinnedNow().addHours(1));
    }

    void valuesThatDoNotFitTheirFieldAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("fits");
        const QString hebrew50 = QString(50, QChar(0x05D0)); // 100 bytes, 50 characters
        QTest::newRow("caption 50") << "RCaption" << QVariant(QString(50, 'c')) << true;
        QTest::newRow("caption 51") << "RCaption" << QVariant(QString(51, 'c')) << false;
        QTest::newRow("caption 50 hebrew") << "RCaption" << QVariant(hebrew50) << true;
        QTest::newRow("author 9") << "RAuthor" << QVariant(QString(9, 'a')) << true;
        QTest::newRow("author 10") << "RAuthor" << QVariant(QString(10, 'a')) << false;
        QTest::newRow("author empty") << "RAuthor" << QVariant(QString("")) << false;
        QTest::newRow("author null") << "RAuthor" << QVariant() << true;
        QTest::newRow("sent to 255") << "SentTo" << QVariant(QString(255, 's')) << true;
        QTest::newRow("received by 256") << "ReceivedBy" << QVariant(QString(256, 'r')) << false;
        QTest::newRow("code 32767") << "RImportance" << QVariant(32767) << true;
        QTest::newRow("code 32768") << "RImportance" << QVariant(32768) << false;
        QTest::newRow("broadcast id 2^31") << "BroadcastId" << QVariant(2147483648LL) << false;
        QTest::newRow("yes/no 2") << "RActive" << QVariant(2) << false;
        QTest::newRow("text in a code") << "REventType" << QVariant(QString("daily")) << false;
    }

    // Through plain SQL, a new row of a dynaset and an edit of a stored row:
    // a refused value leaves the table as it was.
    void valuesThatDoNotFitTheirFieldAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, fits);
        TempProgramDir dir;
        auto db = OpenReminderDb();
        db->exec(QStringLiteral("INSERT INTO Main_tbl (RCaption, RAuthor) VALUES ('kept', 'me')"));
        const qint64 id = db->lastInsertId();

        bool sqlFailed = false;
        try {
            db->execute(QStringLiteral("INSERT INTO Main_tbl (%1) VALUES (?)").arg(field), {value});
        } catch (const Failure&) {
            sqlFailed = true;
        }
        QCOMPARE(sqlFailed, !fits);

        Dynaset add(*db, Queries::all);
        add.addNew();
        add.setValue(field, value);
        if (fits) {
            add.update();
            QCOMPARE(add.value(field).isValid(), value.isValid());
            QCOMPARE(add.value(field).toString(), value.toString());
        } else {
            QVERIFY_THROWS_EXCEPTION(Failure, add.update());
        }

        Dynaset edit(*db, Queries::byId(id));
        edit.edit();
        edit.setValue(field, value);
        if (fits) {
            edit.update();
        } else {
            QVERIFY_THROWS_EXCEPTION(Failure, edit.update());
            Snapshot stored(*db, Queries::byId(id));
            QCOMPARE(stored.value("RCaption").toString(), QString("kept"));
            QCOMPARE(stored.value("RAuthor").toString(), QString("me"));
            QCOMPARE(db->scalar("SELECT count(*) FROM Main_tbl").toInt(), 1);
        }
    }

    void upgradeAddsTheMissingFields_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("0: no mark") << 0 << QStringList() << (QStringList{"RDate0"} + kLanFields);
        QTest::newRow("119") << 119 << QStringList() << (QStringList{"RDate0"} + kLanFields);
        QTest::newRow("150: has RDate0") << 150 << QStringList{"RDate0"} << kLanFields;
    }

    void upgradeAddsTheMissingFields()
    {
        QFETCH(int, version);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, added);
        TempProgramDir dir;
        QStringList extra;
        for (const QString& f : existing)
            extra << f + " REAL";
        rawSql(reminderDbPath(),
               baseTableSql(extra) + QStringLiteral("PRAGMA user_version = %1;").arg(version) +
                   (existing.contains("RDate0")
                        ? "INSERT INTO Main_tbl (RCaption, RDetail, RDate, RDate0) VALUES "
                          "('first', 'a', 46000.5, 45000.25);"
                        : "INSERT INTO Main_tbl (RCaption, RDetail, RDate) VALUES ('first', 'a', "
                          "46000.5);") +
                   "INSERT INTO Main_tbl (RCaption, RActive, RNext) VALUES ('שניה', 1, 46001);");

        auto db = OpenReminderDb();
        QCOMPARE(GetDbVersion(*db), short(version));
        const QStringList before = columnsOf(*db);
        CheckDbVersion(*db);
        QCOMPARE(GetDbVersion(*db), short(200));
        QCOMPARE(columnsOf(*db), before + added);
        verifyActiveQueriesUseTheIndex(*db);

        Snapshot rows(*db, Queries::all + " ORDER BY RMain_Id");
        QCOMPARE(rows.recordCount(), 2);
        QCOMPARE(rows.value("RCaption").toString(), QString("first"));
        QCOMPARE(rows.value("RDate").toDouble(), 46000.5);
        QCOMPARE(rows.value("RDate0"),
                 existing.contains("RDate0") ? QVariant(45000.25) : QVariant());
        QCOMPARE(rows.value("IAMAuthor").toInt(), 1);
        QCOMPARE(rows.value("BroadcastId").toInt(), 0);
        rows.moveNext();
        QCOMPARE(rows.value("RCaption").toString(), QString("שניה"));

        QCOMPARE(dateField(newRowField(*db, "RDate0")), pinnedNow());
        QCOMPARE(newRowField(*db, "SentTo").toString(), QString(""));

        CheckDbVersion(*db); // a second check finds nothing to do
        QCOMPARE(columnsOf(*db), before + added);
    }

    void currentAndNewerVersionsAreNotTouched_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("refused");
        QTest::newRow("200") << 200 << false;
        QTest::newRow("205") << 205 << false;
        QTest::newRow("209") << 209 << false;
        QTest::newRow("210") << 210 << true;
        QTest::newRow("300") << 300 << true;
    }

    void currentAndNewerVersionsAreNotTouched()
    {
        QFETCH(int, version);
        QFETCH(bool, refused);
        TempProgramDir dir;
        // Only the base fields: an upgrade, if one ran, would show.
        rawSql(reminderDbPath(), baseTableSql() +
                                     QStringLiteral("PRAGMA user_version = %1;").arg(version) +
                                     "INSERT INTO Main_tbl (RCaption) VALUES ('row');");
        const QByteArray bytes = fileBytes(reminderDbPath());

        auto db = OpenReminderDb();
        try {
            CheckDbVersion(*db);
            QVERIFY(!refused);
        } catch (const Failure& e) {
            QVERIFY(refused);
            QCOMPARE(e.number(), 1);
            QCOMPARE(e.description(), QString("גרסת היישום לא מתאימה לבסיס הנתונים"));
        }
        db.reset();
        QCOMPARE(fileBytes(reminderDbPath()), bytes);
    }

    // A release that added BroadcastId by hand before marking: the upgrade
    // stops there, marks nothing, and stops there again on the next run.
    void interruptedUpgradeStopsAtTheSameFieldEveryTime()
    {
        TempProgramDir dir;
        rawSql(reminderDbPath(),
               baseTableSql({"BroadcastId INTEGER"}) +
                   "INSERT INTO Main_tbl (RCaption, BroadcastId) VALUES ('row', 7);");
        for (int run = 0; run < 2; ++run) {
            auto db = OpenReminderDb();
            try {
                CheckDbVersion(*db);
                QFAIL("the upgrade went through a field that exists");
            } catch (const Failure& e) {
                QVERIFY2(e.description().contains("BroadcastId"), qPrintable(e.description()));
            }
            QCOMPARE(GetDbVersion(*db), short(0));
            QCOMPARE(columnsOf(*db), kBaseFields + QStringList{"BroadcastId"});
            QCOMPARE(Snapshot(*db, Queries::all).value("BroadcastId").toInt(), 7);
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreSchema)
#include "tst_store_schema.moc"
