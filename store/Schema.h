#pragma once

#include <QString>
#include <QVariant>

class Database;

// The schema version mark (PRAGMA user_version; absent reads 0) and the
// upgrade of databases of older releases. 200 is the current schema.
inline constexpr short kCurrentDbVersion = 200;

// Creates Main_tbl with the current schema in an empty database and marks it 200.
void createCurrentSchema(Database& db);

// Refuses a too-new database (Failure number 1, "גרסת היישום לא מתאימה לבסיס הנתונים"),
// upgrades an old one. Failures of the upgrade are thrown to the caller.
void CheckDbVersion(Database& db);
short GetDbVersion(Database& db); // 0 when unreadable
void UpgradeDb(Database& db, short version);
// Field types for AddDbField.
enum class FieldType { DateTime, Long, Boolean, Text };
void AddDbField(Database& db, const QString& table, const QString& name, FieldType type, int size,
                const QVariant& defaultValue, const QString& format, const QString& caption,
                bool allowZeroLength);
bool SetDbVersion(short version, Database& db);
