#include "store/KeyedRows.h"
#include "store/Recordset.h"

Snapshot::Snapshot(Database& db, const QString& sql) : m_sql(sql)
{
    load(db);
}

Snapshot Snapshot::keyed(Database& db, const QString& orderSql)
{
    Snapshot snapshot(orderSql, true);
    snapshot.load(db);
    return snapshot;
}

void Snapshot::requery(Database& db)
{
    load(db);
}

void Snapshot::load(Database& db)
{
    if (m_keyed) {
        auto rows = std::make_shared<KeyedRows>(db, m_sql);
        const QStringList columns = rows->columns();
        m_rows = std::move(rows);
        resetRows(columns);
        return;
    }
    RowReader reader(db, m_sql);
    auto rows = std::make_shared<RowStore>(int(reader.columns().size()));
    while (reader.next())
        rows->append(reader);
    m_rows = std::move(rows);
    resetRows(reader.columns());
}
