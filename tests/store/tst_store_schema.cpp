#include "platform/Clock.h"
#include "platform/Failure.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/Schema.h"
#include "tests/support/StoreTestFiles.h"
#include "tests/support/TempProgramDir.h"

#include <QProcess>
#include <QTest>

namespace {

const QStringList kLanFields = {"BroadcastId", "IAMAuthor", "ReceivedBy", "SentTo", "RAuthor"};
const QStringList kHebrewFields = {"Adv_HebrewMonth", "Adv_HebrewDay", "Adv_SkipDaysOff"};

Snapshot newRow(Database& db)
{
    Dynaset rs(db, Queries::all);
    rs.addNew();
    rs.setValue("RCaption", "new");
    rs.update();
    return Snapshot(db, Queries::byId(rs.lastModifiedId()));
}

QString planOf(Database& db, const QString& query)
{
    return column(db, "EXPLAIN QUERY PLAN " + query, "detail").join('\n');
}

void verifyIndexServesActiveQueries(Database& db)
{
    const QString plan = planOf(db, Queries::activeByNext) + planOf(db, Queries::due);
    QCOMPARE(plan.count("INDEX Main_tbl_RActive_RNext"), 2);
    QVERIFY2(!plan.contains("TEMP B-TREE"), qPrintable(plan));
}

// The tables beside Main_tbl that the LAN keeps.
QStringList sideTables(Database& db)
{
    return column(db,
                  "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT IN "
                  "('Main_tbl', 'sqlite_sequence') ORDER BY name",
                  "name");
}
const QStringList kSideTables = {"Colleagues_tbl", "Deleted_tbl", "Resent_tbl", "Shared_tbl"};

// The version, then what CheckDbVersion makes of the file: "passes" or why it refused.
QString checked(Database& db, short version)
{
    try {
        CheckDbVersion(db);
        return QString::number(version) + ": passes";
    } catch (const std::exception& e) {
        return QString::number(version) + ": " + describe(e);
    }
}

// A received datagram's row, and an author's copies (the LAN limits), by index.
void verifyIndexesServeLanLookups(Database& db)
{
    QVERIFY(planOf(db, Queries::copyByBroadcastId(5)).contains("INDEX Main_tbl_BroadcastId"));
    QVERIFY(planOf(db, "SELECT TOTAL(LENGTH(RDetail)) FROM Main_tbl WHERE RAuthor = 'x' AND "
                       "IAMAuthor = 0")
                .contains("INDEX Main_tbl_RAuthor"));
}

} // namespace

class TestStoreSchema : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempProgramDir> m_dir;
    static Date kNow() { return Date::fromParts(2026, 12, 5, 21, 59, 7); }

private slots:
    void init() { Clock::setNow(kNow()), m_dir = std::make_unique<TempProgramDir>(); }
    void cleanup() { m_dir.reset(), Clock::useSystemClock(); }

    void freshDatabaseHasEveryFieldWithItsDefaults()
    {
        auto db = OpenReminderDb();
        QCOMPARE(GetDbVersion(*db), short(201));
        QCOMPARE(columnsOf(*db), kBaseFields + QStringList{"RDate0"} + kLanFields + kHebrewFields);
        QCOMPARE(newRow(*db).value("IAMAuthor"), QVariant(1LL));
        QCOMPARE(newRow(*db).value("Adv_SkipDaysOff"), QVariant(0LL));
        db->exec(QStringLiteral("INSERT INTO Main_tbl (RCaption, RDate0) VALUES ('y', 100.5)"));
        QCOMPARE(Snapshot(*db, Queries::byId(db->lastInsertId())).value("RDate0"), QVariant(100.5));
        // An earlier build's trigger called Now(), which other clients lack: it is remade.
        db->exec(
            "DROP TRIGGER Main_tbl_RDate0_InsertTime; CREATE TRIGGER Main_tbl_RDate0_InsertTime "
            "AFTER INSERT ON Main_tbl FOR EACH ROW WHEN NEW.RDate0 IS NULL BEGIN UPDATE "
            "Main_tbl SET RDate0 = Now() WHERE rowid = NEW.rowid; END");
        CheckDbVersion(*db);
        const QString mended =
            db->scalar("SELECT sql FROM sqlite_master WHERE type = 'trigger'").toString();
        QVERIFY2(mended.contains("= julianday('now', 'localtime')"), qPrintable(mended));
        QVERIFY2(!mended.contains("Now()"), qPrintable(mended));

        // A value that does not fit adds no row; the width counts characters, not bytes.
        db->exec("DELETE FROM Main_tbl");
        const QList<std::pair<QString, QVariant>> refused = {
            {"RCaption", QString(51, 'c')}, {"RImportance", 32768}, {"REventType", "daily"}};
        for (const auto& [field, value] : refused)
            QVERIFY_THROWS_EXCEPTION(
                Failure, db->execute("INSERT INTO Main_tbl (" + field + ") VALUES (?)", {value}));
        db->execute("INSERT INTO Main_tbl (RCaption) VALUES (?)", {QString(50, QChar(0x05D0))});
        QCOMPARE(db->scalar("SELECT count(*) FROM Main_tbl").toInt(), 1);
    }

    // Both ends of every version range: older files gain the fields they lack and keep their
    // rows; 201 gains its indexes only; 202-209 are left byte for byte; from 210 on they are
    // refused and left alone too.
    void eachStoredVersionIsUpgradedKeptOrRefused()
    {
        // The upgraded ones last: the shell below works on the last.
        for (const short version : {201, 205, 209, 210, 211, 300, 0, 119, 120, 150, 199, 200}) {
            const bool hasRDate0 = version >= 120;
            const bool hasLan = version >= 200;
            QFile::remove(reminderDbPath());
            rawSql(reminderDbPath(),
                   baseTableSql((hasRDate0 ? QStringList{"RDate0 REAL"} : QStringList()) +
                                (hasLan ? kLanFields : QStringList()) +
                                (version >= 201 ? kHebrewFields : QStringList())) +
                       QStringLiteral("PRAGMA user_version = %1;").arg(version) +
                       "INSERT INTO Main_tbl (RCaption, RDate) VALUES ('first', 46000.5);"
                       "INSERT INTO Main_tbl (RCaption, RActive) VALUES ('שניה', 1);" +
                       (hasRDate0 ? "UPDATE Main_tbl SET RDate0 = 45000.25;" : ""));
            const QByteArray bytes = fileBytes(reminderDbPath());
            auto db = OpenReminderDb();
            const QStringList before = columnsOf(*db);
            QCOMPARE(checked(*db, version),
                     QString::number(version) +
                         (version >= 210 ? ": גרסת היישום לא מתאימה לבסיס הנתונים" : ": passes"));
            if (version == kCurrentDbVersion) { // ours: it gains only the LAN indexes and tables
                QCOMPARE(columnsOf(*db), before);
                verifyIndexesServeLanLookups(*db);
                QCOMPARE(sideTables(*db), kSideTables);
                continue;
            }
            if (version > kCurrentDbVersion) {
                EnsureIndexes(*db);
                db.reset();
                QCOMPARE(fileBytes(reminderDbPath()), bytes);
                continue;
            }
            QCOMPARE(GetDbVersion(*db), short(201));
            QCOMPARE(columnsOf(*db), before + (hasRDate0 ? QStringList() : QStringList{"RDate0"}) +
                                         (hasLan ? QStringList() : kLanFields) + kHebrewFields);
            verifyIndexServesActiveQueries(*db);
            verifyIndexesServeLanLookups(*db);
            QCOMPARE(sideTables(*db), kSideTables);
            Snapshot rows(*db, Queries::all + " ORDER BY RMain_Id");
            QCOMPARE(rows.value("RDate").toDouble(), 46000.5);
            QCOMPARE(rows.value("RDate0"), hasRDate0 ? QVariant(45000.25) : QVariant());
            if (!hasLan) // the field added gives the old rows its default
                QCOMPARE(rows.value("IAMAuthor").toInt(), 1);
            QCOMPARE(rows.value("Adv_SkipDaysOff").toInt(), 0);
            rows.moveNext();
            QCOMPARE(rows.value("RCaption").toString(), QString("שניה"));
            QCOMPARE(dateField(newRow(*db).value("RDate0")), kNow());
        }

        // Another client's insert (the sqlite3 shell) gets the local insert time.
        Clock::useSystemClock();
        const double earliest = Clock::now().serial();
        QProcess shell;
        shell.start("sqlite3", {reminderDbPath(), "INSERT INTO Main_tbl (RCaption) VALUES ('x'); "
                                                  "SELECT RDate0 FROM Main_tbl WHERE RMain_Id = "
                                                  "last_insert_rowid();"});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.exitCode(), 0);
        const double inserted = shell.readAllStandardOutput().trimmed().toDouble();
        QVERIFY2(inserted >= earliest, qPrintable(QString::number(inserted, 'f', 6)));
        QVERIFY2(inserted <= Clock::now().addSeconds(1).serial(),
                 qPrintable(QString::number(inserted, 'f', 6)));
    }

    // A file of this release from a build without the LAN indexes gets them from either check.
    void theLanIndexesAreMadeForFilesThatLackThem()
    {
        for (const auto& check : {&EnsureIndexes, &CheckDbVersion}) {
            auto db = OpenReminderDb();
            verifyIndexesServeLanLookups(*db);
            db->exec("DROP INDEX Main_tbl_BroadcastId; DROP INDEX Main_tbl_RAuthor");
            check(*db);
            verifyIndexesServeLanLookups(*db);
        }
    }

    // BroadcastId added by hand before marking: the upgrade stops there, on every run.
    void interruptedUpgradeStopsAtTheSameFieldEveryTime()
    {
        rawSql(reminderDbPath(), baseTableSql({"BroadcastId INTEGER"}));
        for (int run = 0; run < 2; ++run) {
            auto db = OpenReminderDb();
            QVERIFY_THROWS_EXCEPTION(Failure, CheckDbVersion(*db));
            QCOMPARE(GetDbVersion(*db), short(0));
            QCOMPARE(columnsOf(*db), kBaseFields + QStringList{"BroadcastId"});
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreSchema)
#include "tst_store_schema.moc"
