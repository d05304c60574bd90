#include "ReminderTexts.h"

#include "Reminder.h"
#include "RowCursor.h"

namespace {

QString dateText(const QVariant& v, QString (*format)(const Date&))
{
    return v.isNull() ? QString() : format(dateField(v));
}

QString codeText(const QVariant& v, QString (*name)(short))
{
    return v.isNull() ? QString() : name(short(v.toInt()));
}

} // namespace

ReminderTexts reminderTexts(const RowCursor& rs)
{
    ReminderTexts t;
    t.due = dateText(rs.value(QStringLiteral("RDate")), formatDateTime);
    t.registered = dateText(rs.value(QStringLiteral("RDate0")), formatDateOnly);
    t.caption = FieldText(rs.value(QStringLiteral("RCaption")));
    t.importance = codeText(rs.value(QStringLiteral("RImportance")), ImportanceName);
    t.eventType = codeText(rs.value(QStringLiteral("REventType")), EventTypeName);
    t.author = FieldText(rs.value(QStringLiteral("RAuthor")));
    t.details = FieldText(rs.value(QStringLiteral("RDetail")));
    t.active =
        rs.value(QStringLiteral("RActive")).toBool() ? QStringLiteral("כן") : QStringLiteral("לא");
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
