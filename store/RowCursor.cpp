#include "store/RowCursor.h"

#include "platform/Failure.h"
#include "store/SqlValue.h"

namespace {

Failure noCurrentRecord()
{
    return Failure(QStringLiteral("No current record."), 3021);
}

bool isFloat(const QVariant& v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

bool sameValue(const QVariant& field, const QVariant& wanted)
{
    if (isSqlNull(field) || isSqlNull(wanted))
        return false;
    const bool fieldIsNumber = isNumber(field);
    const bool wantedIsNumber = isNumber(wanted);
    if (fieldIsNumber && wantedIsNumber) {
        if (isFloat(field) || isFloat(wanted))
            return field.toDouble() == wanted.toDouble();
        return field.toLongLong() == wanted.toLongLong();
    }
    if (fieldIsNumber != wantedIsNumber) {
        bool ok = false;
        const double text = (fieldIsNumber ? wanted : field).toString().trimmed().toDouble(&ok);
        return ok && text == (fieldIsNumber ? field : wanted).toDouble();
    }
    return field.toString().compare(wanted.toString(), Qt::CaseInsensitive) == 0;
}

} // namespace

void RowCursor::resetRows(const QStringList& columns)
{
    m_columns = columns;
    m_holes = 0;
    m_onDeleted = false;
    m_noMatch = false;
    m_pos = storedRows() > 0 ? 0 : -1;
}

int RowCursor::liveFrom(int index) const
{
    const int size = storedRows();
    while (index < size && isHole(index))
        ++index;
    return qMin(index, size);
}

int RowCursor::liveUpTo(int index) const
{
    while (index >= 0 && isHole(index))
        --index;
    return index;
}

int RowCursor::absolutePosition() const
{
    if (!hasCurrent())
        return -1;
    if (m_holes == 0)
        return m_pos;
    int live = 0;
    for (int i = 0; i < m_pos; ++i)
        live += isHole(i) ? 0 : 1;
    return live;
}

void RowCursor::setAbsolutePosition(int pos)
{
    if (pos < 0 || pos >= recordCount())
        throw Failure(QStringLiteral("Invalid argument."), 3001);
    leavingRow();
    int index = pos; // without holes the position is the index, at once
    if (m_holes > 0) {
        index = liveFrom(0);
        for (int live = 0; live < pos; ++live)
            index = liveFrom(index + 1);
    }
    m_pos = index;
    m_onDeleted = false;
}

void RowCursor::moveFirst()
{
    leavingRow();
    const int first = liveFrom(0);
    m_pos = first < storedRows() ? first : -1;
    m_onDeleted = false;
}

void RowCursor::moveLast()
{
    leavingRow();
    m_pos = liveUpTo(storedRows() - 1);
    m_onDeleted = false;
}

void RowCursor::moveNext()
{
    if (eof())
        throw noCurrentRecord();
    leavingRow();
    m_pos = liveFrom(m_onDeleted ? m_pos : m_pos + 1);
    m_onDeleted = false;
}

void RowCursor::movePrevious()
{
    if (bof())
        throw noCurrentRecord();
    leavingRow();
    m_pos = liveUpTo(m_pos - 1);
    m_onDeleted = false;
}

void RowCursor::findFirst(const QString& field, const QVariant& value)
{
    findFirst(field, equalTo(value));
}

void RowCursor::findNext(const QString& field, const QVariant& value)
{
    findNext(field, equalTo(value));
}

RowCursor::FieldTest RowCursor::equalTo(const QVariant& value)
{
    return [value](const QVariant& v) { return sameValue(v, value); };
}

void RowCursor::findFirst(const QString& field, const FieldTest& test)
{
    findFrom(0, field, test);
}

void RowCursor::findNext(const QString& field, const FieldTest& test)
{
    findFrom(m_onDeleted ? m_pos : qMax(m_pos + 1, 0), field, test);
}

void RowCursor::findFrom(int start, const QString& field, const FieldTest& test)
{
    const int col = requireColumn(field);
    for (int i = liveFrom(start); i < storedRows(); i = liveFrom(i + 1)) {
        if (test(cell(i, col))) {
            leavingRow();
            m_pos = i;
            m_onDeleted = false;
            m_noMatch = false;
            return;
        }
    }
    m_noMatch = true;
}

QVariant RowCursor::value(const QString& field) const
{
    const int col = requireColumn(field);
    return cell(currentIndex(), col);
}

bool RowCursor::hasField(const QString& field) const
{
    return columnIndex(m_columns, field) >= 0;
}

int RowCursor::requireColumn(const QString& field) const
{
    const int col = columnIndex(m_columns, field);
    if (col < 0)
        throw Failure(QStringLiteral("Item not found in this collection."), 3265);
    return col;
}

int RowCursor::currentIndex() const
{
    if (m_onDeleted)
        throw Failure(QStringLiteral("Record is deleted."), 3167);
    if (!hasCurrent())
        throw noCurrentRecord();
    return m_pos;
}

void RowCursor::moveToStored(int row)
{
    m_pos = row;
    m_onDeleted = false;
}

void RowCursor::markCurrentDeleted()
{
    currentIndex();
    ++m_holes;
    m_onDeleted = true;
}
