#include "manager/ListColumns.h"

namespace {

using F = ReminderField;

// Right to left. The details column takes the author's characters when the
// author is absent (ListLine.cpp), so a padded line keeps its length.
const QVector<ListColumnDef> kColumns = {
    {ListColumn::DueDate, 1, "תאריך יעד", F::RDate, 17, 210},
    {ListColumn::Registered, 6, "תאריך רישום", F::RDate0, 10, 90},
    {ListColumn::Caption, 0, "הכותרת", F::RCaption, 16, 160},
    {ListColumn::Importance, 2, "חשיבות", F::RImportance, 8, 70},
    {ListColumn::EventType, 3, "סוג מופע", F::REventType, 8, 80},
    {ListColumn::Author, 7, "מחבר", F::RAuthor, kAuthorWidth, 80},
    {ListColumn::Details, 4, "פרטים", F::RDetail, 19, 180},
    {ListColumn::Active, 5, "פעיל", F::RActive, 2, 45},
};

} // namespace

const QVector<ListColumnDef>& listColumnDefs()
{
    return kColumns;
}

QVector<ListColumnDef> shownListColumns(bool withAuthor)
{
    QVector<ListColumnDef> shown;
    for (const ListColumnDef& def : kColumns)
        if (withAuthor || def.column != ListColumn::Author)
            shown.append(def);
    return shown;
}

const ListColumnDef& listColumnDef(ListColumn column)
{
    for (const ListColumnDef& def : kColumns)
        if (def.column == column)
            return def;
    return kColumns.first();
}

const ListColumnDef* listColumnOfHeader(int header)
{
    for (const ListColumnDef& def : kColumns)
        if (def.header == header)
            return &def;
    return nullptr;
}

QString headerCaption(const ListColumnDef& def)
{
    return QString::fromUtf8(def.caption);
}
