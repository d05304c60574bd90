#include "store/SqlValue.h"

#include "platform/Date.h"
#include "platform/Failure.h"

#include <QDateTime>

#include <limits>

#include <sqlite3.h>

bool isSqlNull(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

namespace {

void check(sqlite3_stmt* stmt, int rc)
{
    if (rc != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt))));
}

int bindText(sqlite3_stmt* stmt, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    // A null pointer would bind NULL; an empty text stays an empty text.
    return sqlite3_bind_text64(stmt, index, utf8.isNull() ? "" : utf8.constData(),
                               sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

} // namespace

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value)
{
    if (isSqlNull(value))
        return check(stmt, sqlite3_bind_null(stmt, index));
    switch (value.typeId()) {
    case QMetaType::Bool:
        return check(stmt, sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0));
    case QMetaType::Float:
    case QMetaType::Double:
        return check(stmt, sqlite3_bind_double(stmt, index, value.toDouble()));
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            throw Failure::overflow();
        return check(stmt, sqlite3_bind_int64(stmt, index, value.toLongLong()));
    case QMetaType::QString:
        return check(stmt, bindText(stmt, index, value.toString()));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return check(stmt, sqlite3_bind_blob64(stmt, index, bytes.constData(),
                                               sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT));
    }
    case QMetaType::QDateTime:
        return check(stmt, sqlite3_bind_double(stmt, index,
                                               Date::fromQDateTime(value.toDateTime()).serial()));
    case QMetaType::QDate:
        return check(stmt,
                     sqlite3_bind_double(stmt, index, Date::fromParts(value.toDate()).serial()));
    default:
        if (isNumber(value))
            return check(stmt, sqlite3_bind_int64(stmt, index, value.toLongLong()));
        throw Failure::typeMismatch();
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

int columnIndex(const QStringList& columns, const QString& field)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString quotedName(const QString& name)
{
    QString inner = name;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}
