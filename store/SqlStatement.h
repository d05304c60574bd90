#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

struct sqlite3;
struct sqlite3_stmt;

// One row of a query result: values by column position; null is an invalid QVariant.
using RecordRow = QVector<QVariant>;

// One statement prepared on an open SQLite connection, its ?-parameters bound: rows are
// fetched one at a time as next() is called, nothing is kept. Database runs its own
// statements on it; everyone else reads through RowReader. Must not outlive its connection.
class SqlStatement
{
public:
    // Throws Failure.
    SqlStatement(sqlite3* connection, const QString& sql, const QVariantList& params = {});
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

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
