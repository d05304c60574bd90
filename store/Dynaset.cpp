#include "platform/Clock.h"
#include "platform/Failure.h"
#include "store/Recordset.h"
#include "store/ReminderRecord.h"
#include "store/Schema.h"
#include "store/SqlValue.h"

#include <QStringList>

#include <limits>

namespace {

const QString kIdField = fieldName(ReminderField::RMain_Id);
constexpr qint64 kDeletedId = std::numeric_limits<qint64>::min();

Failure recordDeleted()
{
    return Failure(QStringLiteral("Record is deleted."), 3167);
}
Failure notEditing()
{
    return Failure(QStringLiteral("Update or CancelUpdate without AddNew or Edit."), 3020);
}

} // namespace

Dynaset::Dynaset(Database& db, const QString& sql) : m_db(db)
{
    RowReader reader(db, sql);
    m_idColumn = columnIndex(reader.columns(), kIdField);
    if (m_idColumn < 0)
        throw Failure(QStringLiteral("An updatable record set needs RMain_Id in its query"));
    while (reader.next())
        m_ids.push_back(reader.value(m_idColumn).toLongLong());
    resetRows(reader.columns());
    requireTableFields();
    QStringList columns;
    for (const QString& field : fields())
        columns << quotedName(field);
    m_rowSql = QStringLiteral("SELECT %1 FROM Main_tbl WHERE RMain_Id = ?")
                   .arg(columns.join(QLatin1Char(',')));
}

// Rows are read again from the table by name, so every column must be a
// field of it; the default texts are kept for addNew.
void Dynaset::requireTableFields()
{
    QStringList tableFields;
    RowReader info(m_db, QStringLiteral("PRAGMA table_info(Main_tbl)"));
    while (info.next()) {
        const QString name = info.value(QStringLiteral("name")).toString();
        tableFields << name;
        const QVariant expression = info.value(QStringLiteral("dflt_value"));
        if (!isSqlNull(expression))
            m_defaults.insert(name.toLower(), expression);
    }
    for (const QString& field : fields())
        if (columnIndex(tableFields, field) < 0)
            throw Failure(QStringLiteral("'%1' is not a field of Main_tbl").arg(field));
}

bool Dynaset::isHole(int row) const
{
    return m_ids[std::size_t(row)] == kDeletedId;
}

QVariant Dynaset::cell(int row, int column) const
{
    if (column == m_idColumn)
        return QVariant(qlonglong(m_ids[std::size_t(row)]));
    return storedRow(row)[column];
}

const RecordRow& Dynaset::storedRow(int row) const
{
    if (m_cachedRow != row) {
        RowReader reader(m_db, m_rowSql, {QVariant(qlonglong(m_ids[std::size_t(row)]))});
        if (!reader.next())
            throw recordDeleted();
        m_cached = reader.row();
        m_cachedRow = row;
    }
    return m_cached;
}

QVariant Dynaset::value(const QString& field) const
{
    if (m_mode == Mode::None)
        return RowCursor::value(field);
    const QString& name = fields()[requireColumn(field)];
    if (m_buffer.contains(name))
        return m_buffer.value(name);
    if (m_mode == Mode::Add)
        return m_defaults.value(name.toLower());
    return RowCursor::value(field);
}

void Dynaset::edit()
{
    m_editId = currentId(); // throws without a current row
    m_mode = Mode::Edit;
    m_buffer.clear();
}

void Dynaset::addNew()
{
    readDefaults();
    m_mode = Mode::Add;
    m_buffer.clear();
    // The schema's trigger fills a missing insert time from SQLite's clock;
    // the programs' is the clock seam's.
    const QVariant now(Clock::now().serial());
    for (const QString& field : insertTimeFields())
        if (const int column = columnIndex(fields(), field); column >= 0)
            m_buffer.insert(fields()[column], now);
}

void Dynaset::setValue(const QString& field, const QVariant& value)
{
    if (m_mode == Mode::None)
        throw notEditing();
    const QString& name = fields()[requireColumn(field)];
    if (name.compare(kIdField, Qt::CaseInsensitive) == 0)
        throw Failure(QStringLiteral("Field cannot be updated."), 3164);
    m_buffer.insert(name, value);
}

void Dynaset::update()
{
    if (m_mode == Mode::None)
        throw notEditing();
    const qint64 id = m_mode == Mode::Edit ? storeEdit() : storeNew();
    m_mode = Mode::None;
    m_buffer.clear();
    m_lastModified = id;
}

void Dynaset::cancelUpdate()
{
    m_mode = Mode::None;
    m_buffer.clear();
    m_cachedRow = -1; // the next visit reads the row afresh
}

void Dynaset::deleteCurrent()
{
    const int row = currentIndex();
    const qint64 id = m_ids[std::size_t(row)];
    cancelUpdate();
    const int deleted =
        m_db.execute(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = ?"), {QVariant(id)});
    markCurrentDeleted();
    m_ids[std::size_t(row)] = kDeletedId;
    if (deleted == 0)
        throw recordDeleted();
}

qint64 Dynaset::currentId() const
{
    return m_ids[std::size_t(currentIndex())];
}

qint64 Dynaset::storeEdit()
{
    if (!m_buffer.isEmpty()) {
        QStringList assignments;
        QVariantList params;
        for (auto it = m_buffer.cbegin(); it != m_buffer.cend(); ++it) {
            assignments << quotedName(it.key()) + QStringLiteral(" = ?");
            params << it.value();
        }
        params << QVariant(m_editId);
        const QString sql = QStringLiteral("UPDATE Main_tbl SET ") +
                            assignments.join(QStringLiteral(", ")) +
                            QStringLiteral(" WHERE RMain_Id = ?");
        if (m_db.execute(sql, params) == 0)
            throw recordDeleted();
    }
    m_cachedRow = -1;
    storedRow(currentIndex()); // read back; throws when the row is gone
    return m_editId;
}

qint64 Dynaset::storeNew()
{
    QStringList names;
    QStringList marks;
    QVariantList params;
    for (auto it = m_buffer.cbegin(); it != m_buffer.cend(); ++it) {
        names << quotedName(it.key());
        marks << QStringLiteral("?");
        params << it.value();
    }
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO Main_tbl DEFAULT VALUES")
                            : QStringLiteral("INSERT INTO Main_tbl (%1) VALUES (%2)")
                                  .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    m_db.execute(sql, params);
    const qint64 id = m_db.lastInsertId();
    m_ids.push_back(id);
    moveToStored(int(m_ids.size()) - 1);
    m_cachedRow = -1;
    return id;
}

// The default texts are constant expressions of our own schema.
void Dynaset::readDefaults()
{
    if (m_defaultsRead)
        return;
    for (auto it = m_defaults.begin(); it != m_defaults.end(); ++it)
        it.value() = m_db.scalar(QStringLiteral("SELECT ") + it.value().toString());
    m_defaultsRead = true;
}
