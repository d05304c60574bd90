#include "store/KeyedRows.h"

#include "platform/Failure.h"
#include "store/Database.h"
#include "store/Queries.h"
#include "store/ReminderRecord.h"
#include "store/RowReader.h"
#include "store/SqlValue.h"

#include <QHash>

KeyedRows::KeyedRows(Database& db, const QString& orderSql) : m_db(db.borrow())
{
    m_columns = RowReader(db, Queries::noRow).columns();
    m_idColumn = columnIndex(m_columns, fieldName(ReminderField::RMain_Id));
    RowReader order(db, orderSql);
    while (order.next())
        m_ids.push_back(order.value(0).toLongLong());
    m_pages.resize((m_ids.size() + kPageRows - 1) / kPageRows);
}

QVariant KeyedRows::value(int row, int column) const
{
    if (column == m_idColumn)
        return QVariant(qlonglong(m_ids[std::size_t(row)]));
    const Page& p = page(row / kPageRows);
    const int stored = p.at[std::size_t(row % kPageRows)];
    return stored < 0 ? QVariant() : p.rows.value(stored, column);
}

const KeyedRows::Page& KeyedRows::page(int index) const
{
    std::unique_ptr<Page>& slot = m_pages[std::size_t(index)];
    if (slot)
        return *slot;
    const std::size_t first = std::size_t(index) * kPageRows;
    const std::size_t end = qMin(first + kPageRows, m_ids.size());
    QStringList ids;
    QHash<qint64, int> rowOf;
    for (std::size_t i = first; i < end; ++i) {
        ids << QString::number(m_ids[i]);
        rowOf.insert(m_ids[i], int(i - first));
    }
    auto p = std::make_unique<Page>(Page{RowStore(int(m_columns.size())), {}});
    p->at.assign(end - first, -1);
    RowReader reader(*m_db, Queries::byIds(ids.join(QLatin1Char(','))));
    const int idColumn = reader.column(fieldName(ReminderField::RMain_Id));
    while (reader.next()) {
        p->at[std::size_t(rowOf.value(reader.value(idColumn).toLongLong()))] = p->rows.rows();
        p->rows.append(reader);
    }
    slot = std::move(p);
    return *slot;
}
