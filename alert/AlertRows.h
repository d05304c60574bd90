#pragma once

#include "platform/Date.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

#include <optional>

// One alert the list shows: what a row tells of its reminder, and the
// RNext it was listed for (closing moves on that occurrence only).
struct AlertRow
{
    qint32 reminderId = 0;
    QString caption;
    Date due; // RDate, as the alert window shows it
    std::optional<Date> shownNext;
    short importance = 0;
};

// The rows of the alert list: title, due time and importance, sorted by the
// column chosen (by due time at first). Holds these few fields only.
class AlertRows : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Caption, Due, Importance, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    const AlertRow& at(int row) const { return m_rows[row]; }
    const AlertRow* find(qint32 reminderId) const;
    QList<qint32> ids() const;

    void add(const QList<AlertRow>& rows);
    // The listed rows among these shown anew, each keeping the occurrence it
    // was listed for.
    void refill(const QHash<qint32, AlertRow>& stored);
    void remove(const QList<qint32>& reminderIds);

private:
    void keepSorted();

    QList<AlertRow> m_rows;
    int m_sortColumn = Due;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};
