#include "store/Recordset.h"

Snapshot::Snapshot(Database& db, const QString& sql) : m_sql(sql)
{
    load(db);
}

void Snapshot::requery(Database& db)
{
    load(db);
}

void Snapshot::load(Database& db)
{
    RowReader reader(db, m_sql);
    auto rows = std::make_shared<RowStore>(int(reader.columns().size()));
    while (reader.next())
        rows->append(reader);
    m_rows = std::move(rows);
    resetRows(reader.columns());
}
