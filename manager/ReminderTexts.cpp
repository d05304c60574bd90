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
    return t;
}

const QString& ReminderTexts::of(ListColumn column) const
{
    switch (column) {
    case ListColumn::DueDate:
        return due;
    case ListColumn::Registered:
        return registered;
    case ListColumn::Caption:
        return caption;
    case ListColumn::Importance:
        return importance;
    case ListColumn::EventType:
        return eventType;
    case ListColumn::Author:
        return author;
    case ListColumn::Details:
        return details;
    case ListColumn::Active:
        break;
    }
    return active;
}
