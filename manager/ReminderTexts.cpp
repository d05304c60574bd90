#include "manager/ReminderTexts.h"

#include "store/Reminder.h"
#include "store/ReminderRecord.h"

ReminderTexts reminderTexts(const RowCursor& rs)
{
    using F = ReminderField;
    const ReminderRecord r = ReminderRecord::read(rs);
    const auto unlessNull = [&r](F field, const QString& text) {
        return r.isNull(field) ? QString() : text;
    };
    ReminderTexts t;
    t.due = unlessNull(F::RDate, formatDateTime(r.RDate));
    t.registered = unlessNull(F::RDate0, formatDateOnly(r.RDate0));
    t.caption = r.RCaption;
    t.importance = unlessNull(F::RImportance, ImportanceName(r.RImportance));
    t.eventType = unlessNull(F::REventType, EventTypeName(r.REventType));
    t.author = r.RAuthor;
    t.details = r.RDetail;
    t.active = r.RActive ? QStringLiteral("כן") : QStringLiteral("לא");
    if (!r.isNull(F::RNext) && !r.isNull(F::RDate) && r.RNext != r.RDate)
        t.postponedTo = r.RNext.date() == r.RDate.date()
                            ? r.RNext.time().toString(QStringLiteral("HH:mm"))
                            : formatDateTime(r.RNext);
    return t;
}
