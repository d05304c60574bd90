#pragma once

#include <QStringList>
#include <QVariant>

struct sqlite3_stmt;

// Values between QVariant and SQLite: an invalid QVariant is NULL, Booleans
// are 0/1, QDateTime/QDate are date serials, text is UTF-8.
void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value); // throws Failure
QVariant columnValue(sqlite3_stmt* stmt, int column);

bool isSqlNull(const QVariant& value);
bool isNumber(const QVariant& value); // numbers and Booleans

// Field names compare without regard to case, as SQLite's do; -1 when absent.
int columnIndex(const QStringList& columns, const QString& field);

// A name quoted for SQL text.
QString quotedName(const QString& name);
