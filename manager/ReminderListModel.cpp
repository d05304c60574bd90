#include "manager/ReminderListModel.h"

#include "calendar/HebrewDateText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "manager/AdvOptUnits.h"
#include "manager/ListLine.h"
#include "platform/Failure.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

#include <QColor>

namespace {

const QColor kHeaderBackground(255, 255, 192);
const QColor kAscending(0, 0, 255);
const QColor kDescending(128, 0, 0);

const QString kUnverifiedAuthor = QStringLiteral(" (לא מאומת)");
const QString kUnverifiedAuthorTip =
    QStringLiteral("לא מאומת: התזכורת הגיעה בהודעה לא חתומה (כמו ממחשב Windows), ואין ודאות "
                   "שהמחבר הוא ששלח אותה");

} // namespace

void ReminderListModel::reset(const Snapshot& rows, bool withAuthor, QSet<qint32> unsignedCopies)
{
    beginResetModel();
    m_rows = rows.clone();
    m_unsignedCopies = std::move(unsignedCopies);
    m_columns = shownListColumns(withAuthor);
    m_textsRow = -1;
    m_failureLogged = false;
    endResetModel();
}

void ReminderListModel::clear()
{
    beginResetModel();
    m_rows.reset();
    m_unsignedCopies.clear();
    m_textsRow = -1;
    endResetModel();
}

void ReminderListModel::setSort(const QString& field, bool descending)
{
    m_sortField = field;
    m_sortDesc = descending;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int ReminderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->recordCount();
}

int ReminderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int ReminderListModel::sectionOf(ListColumn column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].column == column)
            return i;
    return -1;
}

QVariant ReminderListModel::toolTip(ListColumn column, int row) const
{
    if (column == ListColumn::Author && hasUnverifiedAuthor(row))
        return kUnverifiedAuthorTip;
    if (column == ListColumn::EventType)
        return periodOrHebrewDate(row);
    return dueHebrewDate(row);
}

QVariant ReminderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(index.row(), m_columns[index.column()].column);
    if (role == Qt::UserRole)
        return reminderId(index.row());
    if (role == Qt::ToolTipRole)
        return toolTip(m_columns[index.column()].column, index.row());
    return QVariant();
}

// An advanced or Hebrew series tells its period ("כל שעתיים") where its type stands.
QString ReminderListModel::periodOrHebrewDate(int row) const
{
    try {
        m_rows->setAbsolutePosition(row);
        const ReminderRecord r = ReminderRecord::read(*m_rows);
        if (r.REventType == EventAdvanced || isHebrewEventType(r.REventType))
            return everyPeriodText(AdvOptUnitIndex(r.REventType, r.Adv_Period), r.Adv_PeriodN);
    } catch (const std::exception&) {
        return QString(); // the row's line tells of a damaged row
    }
    return dueHebrewDate(row);
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

QVariant ReminderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ListColumnDef& def = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return headerCaption(def);
    case Qt::ToolTipRole:
        return QStringLiteral("לחץ כאן למיון לפי שדה");
    case Qt::BackgroundRole:
        return kHeaderBackground;
    case Qt::ForegroundRole:
        if (fieldName(def.sortField) != m_sortField)
            return QColor(Qt::black);
        return m_sortDesc ? kDescending : kAscending;
    default:
        return QVariant();
    }
}

const ReminderTexts* ReminderListModel::textsOf(int row) const
{
    if (row == m_textsRow)
        return &m_texts;
    try {
        m_rows->setAbsolutePosition(row);
        m_texts = reminderTexts(*m_rows);
        m_textsRow = row;
        return &m_texts;
    } catch (const std::exception& e) {
        // A damaged row shows empty; one entry per filling is enough.
        if (!m_failureLogged)
            logFailure(QStringLiteral("FillTheList"), e);
        m_failureLogged = true;
        m_textsRow = -1;
        return nullptr;
    }
}

QString ReminderListModel::cellText(int row, ListColumn column) const
{
    const ReminderTexts* texts = textsOf(row);
    if (!texts)
        return QString();
    QString text = listCellText(*texts, column);
    if (column == ListColumn::DueDate && !texts->postponedTo.isEmpty())
        text += QStringLiteral("  נדחה ל-") + texts->postponedTo;
    if (column == ListColumn::Author && hasUnverifiedAuthor(row))
        text += kUnverifiedAuthor;
    return text;
}

bool ReminderListModel::hasUnverifiedAuthor(int row) const
{
    if (m_unsignedCopies.isEmpty())
        return false;
    try {
        m_rows->setAbsolutePosition(row);
        return !fieldValue(*m_rows, ReminderField::IAMAuthor).toBool() &&
               m_unsignedCopies.contains(fieldValue(*m_rows, ReminderField::BroadcastId).toInt());
    } catch (const std::exception&) {
        return false; // the row's line tells of a damaged row
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
