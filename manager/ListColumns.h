#pragma once

#include "store/ReminderRecord.h"

#include <QVector>

// The columns of a line, right to left. Author only when LAN receiving is on.
enum class ListColumn {
    DueDate,
    Registered,
    Caption,
    Importance,
    EventType,
    Author,
    Details,
    Active
};

// The columns of the manager's list, right to left, declared once: what the
// table shows, how its header reads and sorts, how wide a column is in the
// padded lines of the printed list. A new column is one more row of the table
// in ListColumns.cpp.
struct ListColumnDef
{
    ListColumn column;
    int header;              // the header's index, ListLabel(header)
    const char* caption;     // the header's caption
    ReminderField sortField; // what a click on the header sorts by
    int width;               // characters in a padded line, the author column shown
    int pixels;              // the table column's width at first, in pixels
};

// Every column, right to left.
const QVector<ListColumnDef>& listColumnDefs();
// The columns present (the author column only withAuthor), right to left.
QVector<ListColumnDef> shownListColumns(bool withAuthor);
// The definition of a column.
const ListColumnDef& listColumnDef(ListColumn column);
// The column whose header has this index.
const ListColumnDef* listColumnOfHeader(int header);
// The header's caption.
QString headerCaption(const ListColumnDef& def);
