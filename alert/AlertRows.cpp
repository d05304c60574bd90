#include "alert/AlertRows.h"

#include "calendar/HebrewDateText.h"
#include "store/Reminder.h"

#include <QFont>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

bool before(const AlertRow& a, const AlertRow& b, int column)
{
    switch (column) {
    case AlertRows::Caption:
        return QString::localeAwareCompare(a.caption, b.caption) < 0;
    case AlertRows::Importance:
        return a.importance > b.importance; // the most important first
    default:
        return a.due < b.due;
    }
}

} // namespace

int AlertRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AlertRows::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AlertRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const AlertRow& row = m_rows[index.row()];
    if (role == Qt::FontRole && row.importance >= 2) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::ToolTipRole)
        return hebrewDateBeside(row.due.date()); // as the manager's list tells it
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Caption:
        return row.caption;
    case Due:
        return formatDateTime(row.due);
    default:
        return ImportanceName(row.importance);
    }
}

QVariant AlertRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"כותרת", "תאריך יעד", "חשיבות"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

void AlertRows::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_order = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<qint32> idsBefore;
    for (const QModelIndex& index : before)
        idsBefore << m_rows[index.row()].reminderId;
    keepSorted();
    QHash<qint32, int> rowOf;
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        rowOf.insert(m_rows[i].reminderId, int(i));
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOf.value(idsBefore[i]), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void AlertRows::keepSorted()
{
    std::stable_sort(m_rows.begin(), m_rows.end(), [this](const AlertRow& a, const AlertRow& b) {
        return m_order == Qt::AscendingOrder ? ::before(a, b, m_sortColumn)
                                             : ::before(b, a, m_sortColumn);
    });
}

const AlertRow* AlertRows::find(qint32 reminderId) const
{
    for (const AlertRow& row : m_rows)
        if (row.reminderId == reminderId)
            return &row;
    return nullptr;
}

QList<qint32> AlertRows::ids() const
{
    QList<qint32> ids;
    for (const AlertRow& row : m_rows)
        ids << row.reminderId;
    return ids;
}

void AlertRows::add(const QList<AlertRow>& rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
    m_rows << rows;
    endInsertRows();
    sort(m_sortColumn, m_order);
}

void AlertRows::refill(const QHash<qint32, AlertRow>& stored)
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const auto found = stored.constFind(m_rows[i].reminderId);
        if (found == stored.cend())
            continue;
        const std::optional<Date> listedFor = m_rows[i].shownNext;
        m_rows[i] = *found;
        m_rows[i].shownNext = listedFor;
    }
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, ColumnCount - 1));
    sort(m_sortColumn, m_order);
}

void AlertRows::remove(const QList<qint32>& reminderIds)
{
    const QSet<qint32> leaving(reminderIds.cbegin(), reminderIds.cend());
    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        if (!leaving.contains(m_rows[i].reminderId))
            continue;
        beginRemoveRows({}, int(i), int(i));
        m_rows.removeAt(i);
        endRemoveRows();
    }
}
