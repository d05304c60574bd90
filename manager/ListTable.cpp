#include "manager/ListTable.h"

#include "manager/ReminderListModel.h"
#include "platform/ui/Named.h"

#include <QHeaderView>

namespace {

const QColor kNavy(0, 0, 128);

} // namespace

ListTable::ListTable(ReminderListModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    setObjectName(QStringLiteral("List1"));
    setModel(model);
    setLayoutDirection(Qt::RightToLeft);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideLeft); // the cut end of a right-to-left text is its left
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, kNavy);
    setPalette(colours);

    // Rows of one height: the view never measures a row, whatever the count.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* header = horizontalHeader();
    named(header, QStringLiteral("ListHeader"));
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(24);
    header->setDefaultAlignment(Qt::AlignCenter);
    QPalette headerColours = header->palette();
    headerColours.setColor(QPalette::Button, QColor(255, 255, 192));
    header->setPalette(headerColours);
    for (const ListColumnDef& def : listColumnDefs())
        m_widths.insert(def.column, def.pixels);
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < m_model->columns().size())
            emit headerClicked(m_model->columns()[section].header);
    });
    connect(header, &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) { noteWidth(section, newSize); });
    applyColumnWidths();
}

QHash<ListColumn, int> ListTable::columnWidths() const
{
    QHash<ListColumn, int> widths = m_widths;
    widths.remove(ListColumn::Caption);
    return widths;
}

void ListTable::setColumnWidths(const QHash<ListColumn, int>& widths)
{
    for (auto it = widths.begin(); it != widths.end(); ++it)
        if (it.key() != ListColumn::Caption && it.value() > 0)
            m_widths.insert(it.key(), it.value());
    applyColumnWidths();
}

void ListTable::applyColumnWidths()
{
    m_applying = true;
    QHeaderView* header = horizontalHeader();
    const QVector<ListColumnDef>& columns = m_model->columns();
    for (int section = 0; section < columns.size(); ++section) {
        const ListColumn column = columns[section].column;
        if (column == ListColumn::Caption) {
            header->setSectionResizeMode(section, QHeaderView::Stretch);
            continue;
        }
        header->setSectionResizeMode(section, QHeaderView::Interactive);
        header->resizeSection(section, m_widths.value(column, columns[section].pixels));
    }
    m_applying = false;
}

void ListTable::noteWidth(int section, int newSize)
{
    const QVector<ListColumnDef>& columns = m_model->columns();
    if (m_applying || section < 0 || section >= columns.size())
        return;
    if (columns[section].column != ListColumn::Caption)
        m_widths.insert(columns[section].column, newSize);
}

void ListTable::showSort(const QString& field, bool descending)
{
    m_model->setSort(field, descending);
    int sorted = -1;
    const QVector<ListColumnDef>& columns = m_model->columns();
    for (int section = 0; section < columns.size(); ++section)
        if (fieldName(columns[section].sortField) == field)
            sorted = section;
    horizontalHeader()->setSortIndicator(sorted,
                                         descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int ListTable::sectionOfHeader(int header) const
{
    const ListColumnDef* def = listColumnOfHeader(header);
    return def ? m_model->sectionOf(def->column) : -1;
}

QModelIndex ListTable::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const int rows = m_model->rowCount();
    if (rows > 0 && (cursorAction == MoveHome || cursorAction == MoveEnd))
        return m_model->index(cursorAction == MoveHome ? 0 : rows - 1,
                              qMax(0, currentIndex().column()));
    return QTableView::moveCursor(cursorAction, modifiers);
}
