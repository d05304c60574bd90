#include "store/Schema.h"

#include "platform/Failure.h"
#include "store/Colleagues.h"
#include "store/Database.h"
#include "store/FieldSql.h"
#include "store/ReminderRecord.h"
#include "store/ShareDates.h"
#include "store/ShareDeletions.h"
#include "store/ShareResends.h"
#include "store/SqlValue.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QString kTable = QStringLiteral("Main_tbl");

using F = ReminderField;

FieldDef field(F f, FieldType type, int size, const QVariant& defaultValue = QVariant(),
               bool allowZeroLength = false)
{
    return {fieldName(f), type, size, defaultValue, allowZeroLength};
}

const QString kNoText = QString(QLatin1String(""));

// The fields of the first release, in table order after RMain_Id.
const FieldDef kBaseFields[] = {
    field(F::RCaption, FieldType::Text, kCaptionWidth, QVariant(), true),
    field(F::RDetail, FieldType::Memo, 0, QVariant(), true),
    field(F::RDate, FieldType::DateTime, 8),
    field(F::RNext, FieldType::DateTime, 8),
    field(F::RImportance, FieldType::Integer, 2, 0),
    field(F::REventType, FieldType::Integer, 2, 0),
    field(F::RActive, FieldType::Boolean, 1, false),
    field(F::Adv_AdvOpt, FieldType::Boolean, 1, false),
    field(F::Adv_Period, FieldType::Integer, 2, 0),
    field(F::Adv_PeriodN, FieldType::Integer, 2, 1),
    field(F::Adv_WeekDay, FieldType::Integer, 2, 0),
    field(F::Adv_MonthDay, FieldType::Integer, 2, 0),
    field(F::Adv_MonthCount, FieldType::Integer, 2, 0),
    field(F::Adv_DateEnd, FieldType::DateTime, 8),
    field(F::Adv_NoEnd, FieldType::Boolean, 1, false),
};

// The fields later releases added, with the version that brought them.
struct AddedField
{
    short addedIn;
    FieldDef definition;
};

const AddedField kAddedFields[] = {
    {120, field(F::RDate0, FieldType::DateTime, 8, QStringLiteral("Now()"))},
    {200, field(F::BroadcastId, FieldType::Long, 4, 0)},
    {200, field(F::IAMAuthor, FieldType::Boolean, 1, true)},
    {200, field(F::ReceivedBy, FieldType::Text, kNameListWidth, kNoText, true)},
    {200, field(F::SentTo, FieldType::Text, kNameListWidth, kNoText, true)},
    {200, field(F::RAuthor, FieldType::Text, kAuthorWidth, kNoText)},
    {201, field(F::Adv_HebrewMonth, FieldType::Integer, 2, 0)},
    {201, field(F::Adv_HebrewDay, FieldType::Integer, 2, 0)},
    {201, field(F::Adv_SkipDaysOff, FieldType::Boolean, 1, false)},
};

// Makes the field's insert-time trigger in its current form. Builds before
// this one called the programs' own Now() in it, which other SQLite clients
// lack; such a trigger is made again, and a missing one only when asked.
void ensureInsertTimeTrigger(Database& db, const QString& field, bool createMissing)
{
    const QString wanted = insertTimeTrigger(kTable, field);
    const QString name = insertTimeTriggerName(kTable, field);
    const QVariant stored = db.scalar(
        QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = ?"),
        {name});
    if (stored.toString() == wanted || (isSqlNull(stored) && !createMissing))
        return;
    Transaction transaction(db);
    db.exec(QStringLiteral("DROP TRIGGER IF EXISTS ") + quotedName(name));
    db.exec(wanted);
    transaction.commit();
}

// The indexes: by which the due check and the next-due publication read
// active rows in RNext order; by which every received update, deletion and
// acknowledgement finds its row; by which the LAN limits count an author's
// copies. Plain SQLite indexes, which any client keeps up to date.
void createIndexes(Database& db)
{
    db.exec(QStringLiteral(
        "CREATE INDEX IF NOT EXISTS Main_tbl_RActive_RNext ON Main_tbl (RActive, RNext);"
        "CREATE INDEX IF NOT EXISTS Main_tbl_BroadcastId ON Main_tbl (BroadcastId);"
        "CREATE INDEX IF NOT EXISTS Main_tbl_RAuthor ON Main_tbl (RAuthor, IAMAuthor)"));
}

// The LAN's tables beside Main_tbl: what was shared and deleted when, and to
// whom; what went again; who was seen.
void createSideTables(Database& db)
{
    EnsureShareDates(db);
    EnsureShareDeletions(db);
    EnsureShareResends(db);
    EnsureColleagues(db);
}

// What the fields need beside the table: the insert-time triggers (also for
// an RDate0 that an older release added without one), the indexes and the
// tables beside it.
void createFieldHelpers(Database& db)
{
    for (const QString& field : insertTimeFields())
        ensureInsertTimeTrigger(db, field, true);
    createIndexes(db);
    createSideTables(db);
}

// A file of a newer release of this schema (up to 209) is that release's to look after.
bool isOurs(short version)
{
    return version == kCurrentDbVersion;
}

void markVersion(Database& db, short version)
{
    db.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

} // namespace

QStringList insertTimeFields()
{
    QStringList fields;
    for (const AddedField& field : kAddedFields)
        if (defaultsToInsertTime(field.definition))
            fields << field.definition.name;
    return fields;
}

void createCurrentSchema(Database& db)
{
    Transaction transaction(db);
    QStringList columns{QStringLiteral("RMain_Id INTEGER PRIMARY KEY AUTOINCREMENT")};
    for (const FieldDef& field : kBaseFields)
        columns << columnDefinition(field);
    for (const AddedField& field : kAddedFields)
        columns << columnDefinition(field.definition);
    db.exec(QStringLiteral("CREATE TABLE Main_tbl (%1) STRICT")
                .arg(columns.join(QStringLiteral(", "))));
    createFieldHelpers(db);
    markVersion(db, kCurrentDbVersion);
    transaction.commit();
}

std::unique_ptr<Database> openOrCreateDb(const QString& path)
{
    if (!QFileInfo::exists(path))
        Database::create(path, createCurrentSchema);
    return Database::open(path);
}

// Releases 200-209 share the layout: a file marked above this release is left as it is.
void CheckDbVersion(Database& db)
{
    if (RequireCurrentDbVersion(db))
        return;
    for (const QString& field : insertTimeFields())
        ensureInsertTimeTrigger(db, field, false);
    EnsureIndexes(db);
}

void EnsureIndexes(Database& db)
{
    if (!isOurs(GetDbVersion(db)))
        return;
    createIndexes(db);
    createSideTables(db);
}

bool RequireCurrentDbVersion(Database& db)
{
    RequireKnownDbVersion(db);
    const short version = GetDbVersion(db);
    if (version >= kCurrentDbVersion)
        return false;
    UpgradeDb(db, version);
    return true;
}

void RequireKnownDbVersion(Database& db)
{
    if (GetDbVersion(db) / 10 > 20)
        throw Failure(QStringLiteral("גרסת היישום לא מתאימה לבסיס הנתונים"), 1);
}

short GetDbVersion(Database& db)
{
    try {
        const qint64 version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
        return version >= -32768 && version <= 32767 ? short(version) : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

void UpgradeDb(Database& db, short version)
{
    Transaction transaction(db);
    for (const AddedField& field : kAddedFields) {
        if (version < field.addedIn) {
            const FieldDef& f = field.definition;
            AddDbField(db, kTable, f.name, f.type, f.size, f.defaultValue, f.allowZeroLength);
        }
    }
    createFieldHelpers(db);
    SetDbVersion(kCurrentDbVersion, db);
    transaction.commit();
}

void AddDbField(Database& db, const QString& table, const QString& name, FieldType type, int size,
                const QVariant& defaultValue, bool allowZeroLength)
{
    const FieldDef field{name, type, size, defaultValue, allowZeroLength};
    Transaction transaction(db);
    db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                .arg(quotedName(table), columnDefinition(field)));
    if (defaultsToInsertTime(field))
        db.exec(insertTimeTrigger(table, name));
    transaction.commit();
}

bool SetDbVersion(short version, Database& db)
{
    try {
        markVersion(db, version);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
