#pragma once

#include "store/SqlStatement.h"

class Database;

// Forward-only reader of one query: rows are fetched one at a time as next()
// is called, nothing is kept. For walks that stop early or touch many rows
// once (the next due time, bulk reads); the record sets of Recordset.h are
// built on it. Must not outlive its Database.
class RowReader : public SqlStatement
{
public:
    RowReader(Database& db, const QString& sql, const QVariantList& params = {}); // throws Failure
};
