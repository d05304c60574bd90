#include "Clock.h"
#include "Database.h"
#include "Failure.h"
#include "Queries.h"
#include "Recordset.h"
#include "Reminder.h"
#include "Schema.h"
#include "StoreTestFiles.h"
#include "TempProgramDir.h"

#include <QProcess>
#include <QTest>

namespace {

const QStringList kBaseFields = {"RMain_Id",     "RCaption",       "RDetail",     "RDate",
                                 "RNext",        "RImportance",    "REventType",  "RActive",
                                 "Adv_AdvOpt",   "Adv_Period",     "Adv_PeriodN", "Adv_WeekDay",
                                 "Adv_MonthDay", "Adv_MonthCount", "Adv_DateEnd", "Adv_NoEnd"};
const QStringList kLanFields = {"BroadcastId", "IAMAuthor", "ReceivedBy", "SentTo", "RAuthor"};

// A function, not a global: the date type's own constants are set up at start-up too.
Date pinnedNow()
{
    return Date::fromParts(2026, 12, 5, 21, 59, 7);
}

// The row the programs add with nothing but a caption.
Snapshot newRow(Database& db)
{
    Dynaset rs(db, Queries::all);
    rs.addNew();
    rs.setValue("RCaption", "new");
    rs.update();
    return Snapshot(db, Queries::byId(rs.lastModifiedId()));
}

// Inserts a row with the sqlite3 shell, as any other client would, and gives
// its RDate0 (null when the insert failed).
QVariant shellInsertTime(const QString& path)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {path, "INSERT INTO Main_tbl (RCaption) VALUES ('shell'); "
                       "SELECT RDate0 FROM Main_tbl WHERE RMain_Id = last_insert_rowid();"});
    if (!shell.waitForFinished(60000) || shell.exitCode() != 0) {
        qWarning("%s", shell.readAllStandardError().constData());
        return QVariant();
    }
    return shell.readAllStandardOutput().trimmed().toDouble();
}

void verifyIndexServesActiveQueries(Database& db)
{
    const QString plan = queryPlan(db, Queries::activeByNext) + '\n' + queryPlan(db, Queries::due);
    QVERIFY2(plan.count("INDEX Main_tbl_RActive_RNext") == 2 && !plan.contains("TEMP B-TREE"),
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
        QStringList expected = kBaseFields + QStringList{"RDate0"} + kLanFields;
        QStringList actual = columnsOf(*db);
        expected.sort();
        actual.sort();
        QCOMPARE(actual, expected);
        verifyIndexServesActiveQueries(*db);

        Snapshot row = newRow(*db);
        QCOMPARE(dateField(row.value("RDate0")), pinnedNow());
        QCOMPARE(row.value("IAMAuthor"), QVariant(1LL));
        QCOMPARE(row.value("BroadcastId"), QVariant(0LL));
        QCOMPARE(row.value("ReceivedBy"), QVariant(QString("")));

        // The insert time fills only a date that was not given.
        db->exec(QStringLiteral("INSERT INTO Main_tbl (RCaption, RDate0) VALUES ('y', 100.5)"));
        QCOMPARE(Snapshot(*db, Queries::byId(db->lastInsertId())).value("RDate0"), QVariant(100.5));
    }

    void valuesThatDoNotFitTheirFieldAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("fits");
        QTest::newRow("caption 51") << "RCaption" << QVariant(QString(51, 'c')) << false;
        // 100 bytes of UTF-8, 50 characters: the width counts characters.
        QTest::newRow("caption 50 hebrew")
            << "RCaption" << QVariant(QString(50, QChar(0x05D0))) << true;
        QTest::newRow("author empty") << "RAuthor" << QVariant(QString("")) << false;
        QTest::newRow("code 32768") << "RImportance" << QVariant(32768) << false;
        QTest::newRow("text in a code") << "REventType" << QVariant(QString("daily")) << false;
    }

    // A refused value adds no row, whoever writes it.
    void valuesThatDoNotFitTheirFieldAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, fits);
        TempProgramDir dir;
        auto db = OpenReminderDb();
        const QString insert = QStringLiteral("INSERT INTO Main_tbl (%1) VALUES (?)").arg(field);
        if (fits)
            db->execute(insert, {value});
        else
            QVERIFY_THROWS_EXCEPTION(Failure, db->execute(insert, {value}));
        QCOMPARE(db->scalar("SELECT count(*) FROM Main_tbl").toInt(), fits ? 1 : 0);
    }

    void upgradeAddsTheMissingFields_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("0: no mark") << 0 << (QStringList{"RDate0"} + kLanFields);
        QTest::newRow("150: has RDate0") << 150 << kLanFields;
    }

    void upgradeAddsTheMissingFields()
    {
        QFETCH(int, version);
        QFETCH(QStringList, added);
        TempProgramDir dir;
        const bool hasRDate0 = !added.contains("RDate0");
        rawSql(reminderDbPath(),
               baseTableSql(hasRDate0 ? QStringList{"RDate0 REAL"} : QStringList()) +
                   QStringLiteral("PRAGMA user_version = %1;").arg(version) +
                   "INSERT INTO Main_tbl (RCaption, RDate) VALUES ('first', 46000.5);"
                   "INSERT INTO Main_tbl (RCaption, RActive) VALUES ('שניה', 1);" +
                   (hasRDate0 ? "UPDATE Main_tbl SET RDate0 = 45000.25;" : ""));

        auto db = OpenReminderDb();
        const QStringList before = columnsOf(*db);
        CheckDbVersion(*db);
        QCOMPARE(GetDbVersion(*db), short(200));
        QCOMPARE(columnsOf(*db), before + added);
        verifyIndexServesActiveQueries(*db);

        Snapshot rows(*db, Queries::all + " ORDER BY RMain_Id");
        QCOMPARE(rows.recordCount(), 2);
        QCOMPARE(rows.value("RDate").toDouble(), 46000.5);
        QCOMPARE(rows.value("RDate0"), hasRDate0 ? QVariant(45000.25) : QVariant());
        QCOMPARE(rows.value("IAMAuthor").toInt(), 1);
        rows.moveNext();
        QCOMPARE(rows.value("RCaption").toString(), QString("שניה"));

        // Also where an older release made RDate0, added rows get the insert time.
        QCOMPARE(dateField(newRow(*db).value("RDate0")), pinnedNow());
    }

    // The schema needs nothing of the programs: another client's insert gets
    // the local insert time, also in files that earlier releases and builds made.
    void otherClientsInsertWithTheLocalTime_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("made by an earlier build") << "earlier build";
        QTest::newRow("release 150") << "150";
    }

    void otherClientsInsertWithTheLocalTime()
    {
        QFETCH(QString, file);
        TempProgramDir dir;
        if (file == "150")
            rawSql(reminderDbPath(), baseTableSql({"RDate0 REAL"}) + "PRAGMA user_version = 150;");
        auto db = OpenReminderDb();
        if (file == "earlier build") {
            db->exec("DROP TRIGGER Main_tbl_RDate0_InsertTime; CREATE TRIGGER "
                     "Main_tbl_RDate0_InsertTime AFTER INSERT ON Main_tbl FOR EACH ROW WHEN "
                     "NEW.RDate0 IS NULL BEGIN UPDATE Main_tbl SET RDate0 = Now() WHERE rowid = "
                     "NEW.rowid; END");
            QCOMPARE(dateField(newRow(*db).value("RDate0")), pinnedNow()); // usable before mending
        }
        CheckDbVersion(*db);
        db.reset();

        Clock::useSystemClock();
        const double before = Clock::now().serial();
        const QVariant inserted = shellInsertTime(reminderDbPath());
        const double after = Clock::now().addSeconds(1).serial();
        QVERIFY(inserted.isValid());
        QVERIFY2(inserted.toDouble() >= before && inserted.toDouble() <= after,
                 qPrintable(QString::number(inserted.toDouble(), 'f', 6)));
    }

    void currentAndNewerVersionsAreNotTouched_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("205") << 205;
        QTest::newRow("210") << 210;
    }

    void currentAndNewerVersionsAreNotTouched()
    {
        QFETCH(int, version);
        TempProgramDir dir;
        // Only the base fields: an upgrade, if one ran, would show.
        rawSql(reminderDbPath(),
               baseTableSql() + QStringLiteral("PRAGMA user_version = %1;").arg(version));
        const QByteArray bytes = fileBytes(reminderDbPath());
        auto db = OpenReminderDb();
        try {
            CheckDbVersion(*db);
            QVERIFY(version < 210);
        } catch (const Failure& e) {
            QVERIFY(version >= 210);
            QCOMPARE(e.number(), 1);
            QCOMPARE(e.description(), QString("גרסת היישום לא מתאימה לבסיס הנתונים"));
        }
        db.reset();
        QCOMPARE(fileBytes(reminderDbPath()), bytes);
    }

    // A release that added BroadcastId by hand before marking: the upgrade
    // stops there with nothing written, and stops there again on the next run.
    void interruptedUpgradeStopsAtTheSameFieldEveryTime()
    {
        TempProgramDir dir;
        rawSql(reminderDbPath(), baseTableSql({"BroadcastId INTEGER"}));
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
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreSchema)
#include "tst_store_schema.moc"
