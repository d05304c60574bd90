#include "store/RowReader.h"

#include "store/Database.h"

RowReader::RowReader(Database& db, const QString& sql, const QVariantList& params)
    : SqlStatement(db.handle(), sql, params)
{}
