#pragma once

#include "store/FieldSql.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class Database;

// The schema version mark (PRAGMA user_version; absent reads 0) and the
// upgrade of databases of older releases. 201 is the current schema: 200's
// fields and those of the Hebrew-calendar rules.
inline constexpr short kCurrentDbVersion = 201;

// Creates Main_tbl with the current schema in an empty database and marks it current.
void createCurrentSchema(Database& db);
// Opens the database at path, first making it with the current schema when it is missing.
std::unique_ptr<Database> openOrCreateDb(const QString& path);

// Refuses a too-new database (Failure number 1, "גרסת היישום לא מתאימה לבסיס הנתונים"),
// upgrades an old one and mends the insert-time trigger and the indexes of a
// current one that an earlier build made. Failures of the upgrade are thrown to the caller.
void CheckDbVersion(Database& db);
// Makes the indexes and the tables beside Main_tbl that a database of this
// release (201) made by an earlier build lacks; a database of any other
// release is left as it is.
void EnsureIndexes(Database& db);
// The refusal alone: throws the same Failure for a too-new database, changes nothing.
void RequireKnownDbVersion(Database& db);
// Refuses a too-new database and upgrades an old one, for writers that may
// come before the manager window's first load (a script's save); gives
// whether it upgraded.
bool RequireCurrentDbVersion(Database& db);
short GetDbVersion(Database& db); // 0 when unreadable
// Adds the fields due for the version and marks the database current, all in one
// transaction: a failure (a field that exists already) leaves the database
// as it was, so the next run stops at the same field again.
void UpgradeDb(Database& db, short version);

// Adds one field, its width and range enforced by a CHECK named after it.
// A DateTime default of "Now()" is the insert time, filled by a trigger made
// with the field from SQLite's own local clock, so rows that any SQLite
// client inserts get it; the programs fill it from their clock (Dynaset).
// An empty text default on a field that refuses empty text means no default:
// every insert that left the field out would otherwise fail its check.
// SQLite keeps no field properties (format, caption): those belong to the
// screens that show the field.
void AddDbField(Database& db, const QString& table, const QString& name, FieldType type, int size,
                const QVariant& defaultValue, bool allowZeroLength);
bool SetDbVersion(short version, Database& db); // false when the mark cannot be written

// The fields whose default is the insert time.
QStringList insertTimeFields();
