#include "manager/ReminderListModel.h"

#include "calendar/HebrewDateText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "manager/ListLine.h"
#include "platform/Failure.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

void ReminderListModel::reset(const Snapshot& rows, bool withAuthor)
{
    beginResetModel();
    m_rows = rows.clone();
    m_withAuthor = withAuthor;
    m_failureLogged = false;
    endResetModel();
}

void ReminderListModel::clear()
{
    beginResetModel();
    m_rows.reset();
    endResetModel();
}

int ReminderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->recordCount();
}

QVariant ReminderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return line(index.row());
    if (role == Qt::UserRole)
        return reminderId(index.row());
    if (role == Qt::ToolTipRole)
        return dueHebrewDate(index.row());
    return QVariant();
}

QString ReminderListModel::dueHebrewDate(int row) const
{
    try {
        m_rows->setAbsolutePosition(row);
        const std::optional<Date> due =
            optionalDateField(fieldValue(*m_rows, ReminderField::RDate));
        return due ? hebrewDateBeside(due->date()) : QString();
    } catch (const std::exception&) {
        return QString(); // the row's line tells of a damaged row
    }
}

QString ReminderListModel::line(int row) const
{
    try {
        m_rows->setAbsolutePosition(row);
        return BuildListLine(*m_rows, m_withAuthor);
    } catch (const std::exception& e) {
        // A damaged row shows empty; one entry per filling is enough.
        if (!m_failureLogged)
            logFailure(QStringLiteral("FillTheList"), e);
        m_failureLogged = true;
        return QString();
    }
}

qint32 ReminderListModel::reminderId(int row) const
{
    try {
        m_rows->setAbsolutePosition(row);
        return ::reminderId(*m_rows);
    } catch (const std::exception&) {
        return 0;
    }
}
