#pragma once

#include "manager/ListColumns.h"

#include <QHash>
#include <QTableView>

class ReminderListModel;

// List1: the reminders as a table over ReminderListModel, right to left.
// Its header is the model's, so each caption stands above its column; the
// title column takes the width the others leave, the others can be dragged
// wider or narrower, and a click on a caption asks for a sort. Whole rows are
// selected, one at a time; Home and End go to the first and last reminder.
class ListTable : public QTableView
{
    Q_OBJECT
public:
    ListTable(ReminderListModel* model, QWidget* parent);

    // The columns' widths in pixels, the stretching title's not among them.
    QHash<ListColumn, int> columnWidths() const;
    void setColumnWidths(const QHash<ListColumn, int>& widths);
    // After the model's columns changed: each takes its width.
    void applyColumnWidths();
    // Shows the sort on the header's indicator too.
    void showSort(const QString& field, bool descending);
    // The section of the column sorting by ListLabel(header), -1 when not shown.
    int sectionOfHeader(int header) const;

signals:
    // A click on the caption of ListLabel(header).
    void headerClicked(int header);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void noteWidth(int section, int newSize);

    ReminderListModel* m_model;
    QHash<ListColumn, int> m_widths;
    bool m_applying = false;
};
