#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

class Database;
struct sqlite3_stmt;

// One row of a query result: values by column position; null is an invalid QVariant.
using RecordRow = QVector<QVariant>;

// Forward-only reader of one query: rows are fetched one at a time as next()
// is called, nothing is kept. For walks that stop early or touch many rows
// once (the next due time, bulk reads); the record sets of Recordset.h are
// built on it. Must not outlive its Database.
class RowReader
{
public:
    RowReader(Database& db, const QString& sql, const QVariantList& params = {}); // throws Failure
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    bool next(); // false once the rows are exhausted; throws Failure on an SQLite error

    const QStringList& columns() const { return m_columns; }
    int column(const QString& field) const; // -1 when absent
    QVariant value(int column) const;
    QVariant value(const QString& field) const; // throws Failure for an unknown field
    RecordRow row() const;
    sqlite3_stmt* statement() const { return m_stmt; } // for the record sets' own storage

private:
    sqlite3_stmt* m_stmt = nullptr;
    QStringList m_columns;
    bool m_done = false;
};
