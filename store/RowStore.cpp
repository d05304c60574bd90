#include "store/RowStore.h"

#include "store/RowReader.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <cstring>

namespace {

enum Kind : unsigned char { Null, Integer, Real, Text, Blob };

quint64 zigzag(qint64 v)
{
    return (quint64(v) << 1) ^ quint64(v >> 63);
}
qint64 unzigzag(quint64 v)
{
    return qint64(v >> 1) ^ -qint64(v & 1);
}

quint64 readVarint(const unsigned char*& p)
{
    quint64 value = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char byte = *p++;
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return value;
    }
}

// Steps over one value.
void skip(const unsigned char*& p)
{
    switch (*p++) {
    case Integer:
        readVarint(p);
        break;
    case Real:
        p += sizeof(double);
        break;
    case Text:
    case Blob:
        p += readVarint(p);
        break;
    default:
        break;
    }
}

} // namespace

void RowStore::putVarint(quint64 value)
{
    while (value >= 0x80) {
        m_bytes.push_back(static_cast<unsigned char>(value | 0x80));
        value >>= 7;
    }
    m_bytes.push_back(static_cast<unsigned char>(value));
}

void RowStore::append(const RowReader& reader)
{
    sqlite3_stmt* stmt = reader.statement();
    m_rowStarts.push_back(m_bytes.size());
    for (int c = 0; c < m_columns; ++c) {
        const int type = sqlite3_column_type(stmt, c);
        switch (type) {
        case SQLITE_INTEGER:
            m_bytes.push_back(Integer);
            putVarint(zigzag(sqlite3_column_int64(stmt, c)));
            break;
        case SQLITE_FLOAT: {
            const double real = sqlite3_column_double(stmt, c);
            unsigned char raw[sizeof(double)];
            std::memcpy(raw, &real, sizeof raw);
            m_bytes.push_back(Real);
            m_bytes.insert(m_bytes.end(), raw, raw + sizeof raw);
            break;
        }
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const auto* data = static_cast<const unsigned char*>(
                type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(stmt, c))
                                    : sqlite3_column_blob(stmt, c));
            const int size = sqlite3_column_bytes(stmt, c);
            m_bytes.push_back(type == SQLITE_TEXT ? Text : Blob);
            putVarint(quint64(size));
            if (size > 0)
                m_bytes.insert(m_bytes.end(), data, data + size);
            break;
        }
        default:
            m_bytes.push_back(Null);
        }
    }
}

QVariant RowStore::value(int row, int column) const
{
    const unsigned char* p = m_bytes.data() + m_rowStarts[std::size_t(row)];
    for (int c = 0; c < column; ++c)
        skip(p);
    switch (*p++) {
    case Integer:
        return QVariant(qlonglong(unzigzag(readVarint(p))));
    case Real: {
        double real = 0;
        std::memcpy(&real, p, sizeof real);
        return QVariant(real);
    }
    case Text: {
        const auto size = qsizetype(readVarint(p));
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(p), size));
    }
    case Blob: {
        const auto size = qsizetype(readVarint(p));
        return QVariant(QByteArray(reinterpret_cast<const char*>(p), size));
    }
    default:
        return QVariant();
    }
}
