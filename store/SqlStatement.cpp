#include "store/SqlStatement.h"

#include "platform/Failure.h"
#include "store/SqlValue.h"

#include <sqlite3.h>

namespace {

[[noreturn]] void throwSqliteError(sqlite3* db)
{
    throw Failure(QString::fromUtf8(sqlite3_errmsg(db)));
}

// A query is exactly one statement: text after it is refused rather than
// silently ignored.
bool onlySeparatorsLeft(const char* tail)
{
    for (; tail && *tail; ++tail)
        if (*tail != ';' && !QChar::isSpace(uchar(*tail)))
            return false;
    return true;
}

} // namespace

SqlStatement::SqlStatement(sqlite3* connection, const QString& sql, const QVariantList& params)
{
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(connection, text.constData(), int(text.size()), &m_stmt, &tail) !=
        SQLITE_OK)
        throwSqliteError(connection);
    if (!m_stmt || !onlySeparatorsLeft(tail)) {
        sqlite3_finalize(m_stmt);
        throw Failure(QStringLiteral("Characters found after end of SQL statement."));
    }
    try {
        for (int i = 0; i < params.size(); ++i)
            bindValue(m_stmt, i + 1, params[i]);
    } catch (...) {
        sqlite3_finalize(m_stmt);
        throw;
    }
    const int count = sqlite3_column_count(m_stmt);
    m_columns.reserve(count);
    for (int i = 0; i < count; ++i)
        m_columns << QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_stmt);
}

bool SqlStatement::next()
{
    if (m_done)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    m_done = true;
    if (rc != SQLITE_DONE)
        throwSqliteError(sqlite3_db_handle(m_stmt));
    return false;
}

int SqlStatement::column(const QString& field) const
{
    return columnIndex(m_columns, field);
}

QVariant SqlStatement::value(int column) const
{
    return columnValue(m_stmt, column);
}

QVariant SqlStatement::value(const QString& field) const
{
    const int c = column(field);
    if (c < 0)
        throw Failure(QStringLiteral("Item not found in this collection."), 3265);
    return value(c);
}

RecordRow SqlStatement::row() const
{
    RecordRow row(m_columns.size());
    for (int i = 0; i < row.size(); ++i)
        row[i] = columnValue(m_stmt, i);
    return row;
}
