#pragma once

#include "manager/ListColumns.h"
#include "manager/ReminderTexts.h"
#include "store/Recordset.h"

#include <QAbstractTableModel>
#include <QSet>

#include <optional>

// The table of List1: row i is record i of the list's snapshot, a column per
// shown list column (ListColumns.h); every cell's item data (Qt::UserRole)
// is the record's RMain_Id. A row's texts are read when it is first shown, so
// even a very long list appears at once. The header shows the sort: the
// sorted column's caption blue ascending, dark red descending.
class ReminderListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows the records of rows (an independent copy); withAuthor adds the author column;
    // unsignedCopies: the copies taken unsigned, by BroadcastId (UnsignedCopies.h).
    void reset(const Snapshot& rows, bool withAuthor, QSet<qint32> unsignedCopies = {});
    void clear();
    // The header of the sorted field's column takes the colour of the order.
    void setSort(const QString& field, bool descending);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const QVector<ListColumnDef>& columns() const { return m_columns; }
    // The section showing a column, -1 when it is not shown.
    int sectionOf(ListColumn column) const;
    // The row's due date in the Hebrew calendar, its tooltip.
    QString dueHebrewDate(int row) const;
    // Whether the row is a copy received in an unsigned datagram: its author
    // shows "לא מאומת".
    bool hasUnverifiedAuthor(int row) const;
    QString periodOrHebrewDate(int row) const;
    qint32 reminderId(int row) const;

private:
    QVariant toolTip(ListColumn column, int row) const;
    // The texts of a row; the last row read is kept, as a row's cells are asked one by one.
    const ReminderTexts* textsOf(int row) const;
    QString cellText(int row, ListColumn column) const;

    mutable std::optional<Snapshot> m_rows; // its position moves as rows are read
    QSet<qint32> m_unsignedCopies;          // as reset() was given them
    QVector<ListColumnDef> m_columns = shownListColumns(true);
    QString m_sortField;
    bool m_sortDesc = false;
    mutable int m_textsRow = -1;
    mutable ReminderTexts m_texts;
    mutable bool m_failureLogged = false;
};
