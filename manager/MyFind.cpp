// Finding a reminder in the manager window's list.
#include "manager/RMain.h"

#include "platform/Failure.h"
#include "store/LikePattern.h"
#include "store/ReminderRecord.h"

namespace {

// The record set's find criterion: the field, then Like "text*", Like
// "*text*" or = "text". The text goes in as typed, so its Like pattern
// characters keep their meaning; a double quote would end the quoted text
// early, so a text holding one makes a malformed criterion.
RowCursor::FieldTest findCriterion(const QString& text, short SearchBy)
{
    if (text.contains(QLatin1Char('"')))
        throw Failure(QStringLiteral("Syntax error in string in expression."), 3075);
    switch (SearchBy) {
    case 0:
        return likeTest(text + QLatin1Char('*'));
    case 1:
        return likeTest(QLatin1Char('*') + text + QLatin1Char('*'));
    case 2:
        return RowCursor::equalTo(text);
    }
    throw Failure::invalidCall();
}

QString searchField(short SearchIn)
{
    if (SearchIn == 0)
        return fieldName(ReminderField::RCaption);
    if (SearchIn == 1)
        return fieldName(ReminderField::RDetail);
    throw Failure(QStringLiteral("Item not found in this collection."), 3265);
}

} // namespace

// Searches a copy of ListRs, so the list moves only when something is found.
QString RMain::MyFind(bool FirstNext, const QVariant& theText, short SearchIn, short SearchBy)
{
    const QString text = theText.toString();
    if (text.isEmpty())
        return QStringLiteral("יש להגדיר מחרוזת לחיפוש");
    try {
        ensureListCurrent();
    } catch (const std::exception&) {
        return QStringLiteral("שגיאה");
    }
    if (!ListRs || ListRs->recordCount() == 0)
        return QStringLiteral("הרשימה ריקה");
    try {
        const QString field = searchField(SearchIn);
        const RowCursor::FieldTest criterion = findCriterion(text, SearchBy);
        Snapshot copy = ListRs->clone();
        if (FirstNext)
            copy.findFirst(field, criterion);
        else
            copy.findNext(field, criterion);
        if (copy.noMatch())
            return QStringLiteral("לא נמצאה התאמה");
        const qint32 found = reminderId(copy);
        if (!leaveEdit())
            return QStringLiteral("החיפוש בוטל");
        // The question gave way to the notice of change: the match is looked up again.
        if (!findInList(found))
            return QStringLiteral("לא נמצאה התאמה");
        Data_Reposition();
        return QStringLiteral("OK");
    } catch (const std::exception&) {
        return QStringLiteral("שגיאה");
    }
}
