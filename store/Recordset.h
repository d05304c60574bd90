#pragma once

#include "Database.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

// One row of a query result: values by column position; null is an invalid QVariant.
using RecordRow = QVector<QVariant>;

// Read-only snapshot: the rows of a query read at open, in query order, with
// a current position like the engine's record sets (BOF/EOF, absolute
// position 0-based, -1 when there is no current record).
class Snapshot
{
public:
    Snapshot(Database& db, const QString& sql); // runs the query; throws Failure
    Snapshot(const Snapshot&) = default;        // a clone: same rows, own position
    Snapshot& operator=(const Snapshot&) = default;

    Snapshot clone() const { return *this; }
    void requery(Database& db); // same query, fresh rows; position to the first row

    int recordCount() const { return int(m_rows.size()); }
    bool bof() const;
    bool eof() const;
    bool hasCurrent() const { return m_pos >= 0 && m_pos < recordCount(); }
    int absolutePosition() const { return hasCurrent() ? m_pos : -1; }
    void setAbsolutePosition(int pos); // throws Failure when out of range

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Finds the first (next) row whose field equals value; noMatch() tells.
    // When nothing matches the position stays where it was.
    void findFirst(const QString& field, const QVariant& value);
    void findNext(const QString& field, const QVariant& value);
    bool noMatch() const { return m_noMatch; }

    // The current row's field by name; throws Failure without a current row
    // or for an unknown field.
    QVariant value(const QString& field) const;
    bool hasField(const QString& field) const;
    const QString& sql() const { return m_sql; }

private:
    void load(Database& db);
    int column(const QString& field) const;
    bool matches(int row, int col, const QVariant& value) const;

    QString m_sql;
    QStringList m_columns;
    QVector<RecordRow> m_rows; // implicitly shared, so clones are cheap
    int m_pos = -1;
    bool m_bof = true;
    bool m_eof = true;
    bool m_noMatch = false;
};

// Updatable dynaset over Main_tbl: the rows of a query with edit/update,
// add/update and delete of the current row. Rows are identified by RMain_Id,
// which the query must select.
class Dynaset
{
public:
    Dynaset(Database& db, const QString& sql); // throws Failure

    int recordCount() const;
    bool eof() const;
    bool hasCurrent() const;
    void moveFirst();
    void moveNext();
    void findFirst(const QString& field, const QVariant& value);
    bool noMatch() const { return m_noMatch; }

    QVariant value(const QString& field) const; // the edit buffer while editing
    void edit();   // starts editing the current row
    void addNew(); // starts a new row with the table's defaults
    void setValue(const QString& field, const QVariant& value);
    // Stores the edit or the new row (the engine's checks apply: a text too
    // long for its field throws). After addNew the new row becomes current.
    void update();
    void cancelUpdate();
    void deleteCurrent();
    // RMain_Id of the row last added or edited.
    qint64 lastModifiedId() const { return m_lastModified; }

private:
    enum class Mode { None, Edit, Add };
    int column(const QString& field) const;
    void reloadRow(int row, qint64 id);

    Database& m_db;
    QStringList m_columns;
    QVector<RecordRow> m_rows;
    int m_pos = -1;
    bool m_noMatch = false;
    Mode m_mode = Mode::None;
    QHash<QString, QVariant> m_buffer; // changed fields while editing or adding
    qint64 m_lastModified = 0;
};
