#pragma once

#include "store/RowStore.h"

#include <QStringList>

#include <memory>
#include <vector>

class Database;

// The rows of Main_tbl in the order of a query that gives their RMain_Id:
// the order is read at once, and each row's fields the first time any of
// them is asked for, a page of neighbouring rows at a time. Sorting the ids
// alone costs a fraction of reading every row, and a list shows only the
// rows on screen, so a long list opens at once. A row deleted after the
// order was read has only its RMain_Id; every other field reads as null.
// Keeps its own handle on the connection (Database::borrow).
class KeyedRows : public RowSource
{
public:
    KeyedRows(Database& db, const QString& orderSql); // throws Failure

    static constexpr int kPageRows = 128;

    const QStringList& columns() const { return m_columns; }
    int rows() const override { return int(m_ids.size()); }
    QVariant value(int row, int column) const override; // throws Failure when a page cannot be read

private:
    struct Page
    {
        RowStore rows;
        std::vector<int> at; // the stored row of each row of the page, -1 when gone
    };
    const Page& page(int index) const;

    std::unique_ptr<Database> m_db;
    std::vector<qint64> m_ids;
    QStringList m_columns;
    int m_idColumn = -1;
    mutable std::vector<std::unique_ptr<Page>> m_pages;
};
