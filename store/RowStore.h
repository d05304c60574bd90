#pragma once

#include <QVariant>

#include <cstddef>
#include <vector>

class RowReader;

// Where a snapshot keeps its rows: values by row and column.
class RowSource
{
public:
    virtual ~RowSource() = default;
    virtual int rows() const = 0;
    virtual QVariant value(int row, int column) const = 0;
};

// The rows of a query kept compactly in one byte arena: every value is a
// kind byte followed by its bytes (integers and lengths as varints), and
// each row starts at a recorded offset. 100,000 full rows take about 15 MB
// in a handful of allocations instead of millions of QVariants; values become
// QVariants only when they are read.
class RowStore : public RowSource
{
public:
    explicit RowStore(int columns) : m_columns(columns) {}

    void append(const RowReader& reader); // the reader's current row
    int rows() const override { return int(m_rowStarts.size()); }
    QVariant value(int row, int column) const override;

private:
    void putVarint(quint64 value);

    int m_columns;
    std::vector<std::size_t> m_rowStarts;
    std::vector<unsigned char> m_bytes;
};
