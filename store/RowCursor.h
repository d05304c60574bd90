#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// The rows of one query with a current position: BOF before the first row,
// EOF after the last, an absolute position counted from 0 (-1 when there is
// no current row). Moving past either end is allowed once; moving again from
// there throws Failure ("No current record."). moveFirst/moveLast on an empty
// set leave it at BOF and EOF. Where the rows are kept is up to the
// record-set kind.
class RowCursor
{
public:
    virtual ~RowCursor() = default;

    int recordCount() const { return storedRows() - m_holes; }
    // Right after a delete neither is true, so a walk that deletes as it goes
    // still reaches the next row with moveNext.
    bool bof() const { return !m_onDeleted && (recordCount() == 0 || m_pos < 0); }
    bool eof() const { return !m_onDeleted && (recordCount() == 0 || m_pos >= storedRows()); }
    bool hasCurrent() const { return !m_onDeleted && m_pos >= 0 && m_pos < storedRows(); }
    int absolutePosition() const;
    void setAbsolutePosition(int pos); // throws Failure when out of range

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Finds the first (next) row whose field equals value; noMatch() tells.
    // When nothing matches the position stays where it was. Numbers compare
    // by value, texts without regard to case, and null equals nothing.
    void findFirst(const QString& field, const QVariant& value);
    void findNext(const QString& field, const QVariant& value);
    // The same with a test of the field's value (a criterion such as Like).
    using FieldTest = std::function<bool(const QVariant&)>;
    void findFirst(const QString& field, const FieldTest& test);
    void findNext(const QString& field, const FieldTest& test);
    // The criterion "field = value", as the value-taking finds use it.
    static FieldTest equalTo(const QVariant& value);
    bool noMatch() const { return m_noMatch; }

    // The current row's field by name; throws Failure without a current row
    // or for an unknown field.
    virtual QVariant value(const QString& field) const;
    bool hasField(const QString& field) const;
    const QStringList& fields() const { return m_columns; }

protected:
    RowCursor() = default;
    RowCursor(const RowCursor&) = default;
    RowCursor& operator=(const RowCursor&) = default;

    // New rows: positions on the first one.
    void resetRows(const QStringList& columns);

    // The storage: rows by index, deleted ones left as holes.
    virtual int storedRows() const = 0;
    virtual bool isHole(int /*row*/) const { return false; }
    virtual QVariant cell(int row, int column) const = 0;
    // Called before the position changes (a dynaset drops an unfinished edit).
    virtual void leavingRow() {}

    int requireColumn(const QString& field) const;
    int currentIndex() const;   // throws without a current row
    void moveToStored(int row); // to a row just stored, without leavingRow()
    void markCurrentDeleted();  // no current row until the next move

private:
    void findFrom(int start, const QString& field, const FieldTest& test);
    int liveFrom(int index) const; // first live row at or after index, else storedRows()
    int liveUpTo(int index) const; // last live row at or before index, else -1

    QStringList m_columns;
    int m_pos = -1;
    int m_holes = 0;
    bool m_onDeleted = false; // the current row was just deleted
    bool m_noMatch = false;
};
