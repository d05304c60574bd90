#pragma once

#include "store/Database.h"
#include "store/RowCursor.h"
#include "store/RowReader.h"
#include "store/RowStore.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// The two record-set kinds (positions, moves and find: RowCursor). For a
// single forward walk that may stop early, RowReader reads lazily instead.

// Read-only snapshot: the rows of a query read at open, in query order, kept
// compactly (RowStore) and shared by its clones.
class Snapshot : public RowCursor
{
public:
    Snapshot(Database& db, const QString& sql); // runs the query; throws Failure
    Snapshot(const Snapshot&) = default;        // a clone: same rows, own position
    Snapshot& operator=(const Snapshot&) = default;
    // Every field of Main_tbl for the rows whose RMain_Id orderSql gives, in
    // its order; the order is read at open, a row's fields when first read
    // (KeyedRows). For long lists that show a screenful at a time.
    static Snapshot keyed(Database& db, const QString& orderSql);

    Snapshot clone() const { return *this; }
    void requery(Database& db); // same query, fresh rows; position to the first row

private:
    Snapshot(const QString& sql, bool keyed) : m_sql(sql), m_keyed(keyed) {}
    int storedRows() const override { return m_rows->rows(); }
    QVariant cell(int row, int column) const override { return m_rows->value(row, column); }
    void load(Database& db);

    QString m_sql;
    bool m_keyed = false;
    std::shared_ptr<const RowSource> m_rows;
};

// Updatable dynaset over Main_tbl: the query gives the RMain_Id of its rows
// in order at open, and a row's fields are read from the table when it is
// visited, so they show what is stored at that moment. The query must select
// RMain_Id, and only fields of Main_tbl. Moving to another row drops an
// unfinished edit.
class Dynaset : public RowCursor
{
public:
    Dynaset(Database& db, const QString& sql); // throws Failure

    // The edit buffer while editing or adding, else the current row. A row
    // deleted by someone else meanwhile throws "Record is deleted.".
    QVariant value(const QString& field) const override;
    void edit();   // starts editing the current row
    void addNew(); // starts a new row with the table's defaults, the insert time from the clock
    void setValue(const QString& field, const QVariant& value);
    // Stores the edit or the new row: only the changed fields are written,
    // and the row is read again, so the table's defaults and what its
    // triggers set show. The table's checks apply (a text too long for its
    // field throws, and the edit stays open). A row deleted meanwhile throws
    // "Record is deleted." and is not written again. After addNew the new row
    // becomes current, at the end of the set.
    void update();
    void cancelUpdate();
    // Deletes the current row; there is no current row until the next move.
    void deleteCurrent();
    bool editing() const { return m_mode != Mode::None; }
    // RMain_Id of the row last added or edited.
    qint64 lastModifiedId() const { return m_lastModified; }
    Database& database() const { return m_db; }

private:
    enum class Mode { None, Edit, Add };
    int storedRows() const override { return int(m_ids.size()); }
    bool isHole(int row) const override;
    QVariant cell(int row, int column) const override;
    void leavingRow() override { cancelUpdate(); }
    void requireTableFields();
    const RecordRow& storedRow(int row) const;
    qint64 currentId() const;
    qint64 storeEdit();
    qint64 storeNew();
    void readDefaults();

    Database& m_db;
    std::vector<qint64> m_ids; // in query order; deleted rows hold kDeletedId
    int m_idColumn = -1;
    QString m_rowSql;
    mutable int m_cachedRow = -1; // the row last read from the table
    mutable RecordRow m_cached;
    Mode m_mode = Mode::None;
    QHash<QString, QVariant> m_buffer;   // changed fields by column name while editing or adding
    QHash<QString, QVariant> m_defaults; // by lower-case field name, read on the first addNew
    bool m_defaultsRead = false;
    qint64 m_editId = 0;
    qint64 m_lastModified = 0;
};
