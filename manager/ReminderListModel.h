#pragma once

#include "store/Recordset.h"

#include <QAbstractListModel>

#include <optional>

// The rows of List1: row i is record i of the list's snapshot, its text the
// list line and its item data (Qt::UserRole) the record's RMain_Id. Lines are
// built when a row is first shown, so even a very long list appears at once.
class ReminderListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows the records of rows (an independent copy); withAuthor adds the author column.
    void reset(const Snapshot& rows, bool withAuthor);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString line(int row) const;
    // The row's due date in the Hebrew calendar, its tooltip.
    QString dueHebrewDate(int row) const;
    qint32 reminderId(int row) const;

private:
    mutable std::optional<Snapshot> m_rows; // its position moves as rows are read
    bool m_withAuthor = false;
    mutable bool m_failureLogged = false;
};
