#include "server/ReminderMaps.h"

#include "lan/LanFormat.h"
#include "server/InvalidArgument.h"
#include "store/Reminder.h"
#include "store/SqlValue.h"

#include <QMetaType>

namespace {

using F = ReminderField;

enum class Kind { Text, Date, Number, Flag };

// Each field's kind follows its member's type in ReminderRecord.
Kind kindOf(F field)
{
    switch (ReminderRecord{}.value(field).typeId()) {
    case QMetaType::QString:
        return Kind::Text;
    case QMetaType::Bool:
        return Kind::Flag;
    case QMetaType::Int:
        return Kind::Number;
    default:
        return Kind::Date; // a serial, or null for a missing end date
    }
}

bool isNameList(F field)
{
    return field == F::SentTo || field == F::ReceivedBy;
}

bool isEditable(F field)
{
    return (field >= F::RCaption && field <= F::Adv_NoEnd && field != F::RNext) ||
           field >= F::Adv_HebrewMonth;
}

// D-Bus integers of any width (y n q i u x t); not b or d.
bool isInteger(const QVariant& v)
{
    const int type = v.typeId();
    return isNumber(v) && type != QMetaType::Bool && type != QMetaType::Float &&
           type != QMetaType::Double;
}

QVariant scriptValue(const ReminderRecord& r, F field)
{
    const QVariant stored = r.value(field);
    switch (kindOf(field)) {
    case Kind::Date:
        return stored.isNull() ? QString() : formatIsoMinute(dateField(stored));
    case Kind::Text:
        return isNameList(field) ? CommasFromNameList(stored.toString()) : stored.toString();
    case Kind::Flag:
        return stored.toBool();
    case Kind::Number:
        return stored.toInt();
    }
    return {};
}

// The value as the record stores it, or why it cannot be one.
QVariant storedValue(F field, const QVariant& v, const QString& argument)
{
    const Kind kind = kindOf(field);
    if (kind == Kind::Flag) {
        if (v.typeId() != QMetaType::Bool)
            throw InvalidArgument(argument, QStringLiteral("צריך להיות b (true או false)"));
        return v;
    }
    if (kind == Kind::Number) {
        if (!isInteger(v))
            throw InvalidArgument(argument, QStringLiteral("צריך להיות מספר שלם (i)"));
        return codeArgument(argument, v);
    }
    if (v.typeId() != QMetaType::QString)
        throw InvalidArgument(argument, QStringLiteral("צריך להיות טקסט (s)"));
    if (kind == Kind::Text)
        return v;
    const QString text = v.toString();
    if (text.isEmpty() && field == F::Adv_DateEnd)
        return QVariant(); // no end date
    return dateValue(dateArgument(argument, text));
}

} // namespace

short codeArgument(const QString& argument, const QVariant& integer)
{
    const bool fits = integer.typeId() == QMetaType::ULongLong
                          ? integer.toULongLong() <= 32767u
                          : integer.toLongLong() >= -32768 && integer.toLongLong() <= 32767;
    if (!fits)
        throw InvalidArgument(argument, QStringLiteral("%1 מחוץ לתחום").arg(integer.toString()));
    return short(integer.toInt());
}

Date dateArgument(const QString& argument, const QString& text)
{
    const std::optional<Date> date = parseIsoMinute(text);
    if (!date)
        throw InvalidArgument(argument, QStringLiteral("\"%1\" אינו מועד קיים בתבנית "
                                                       "yyyy-MM-dd HH:mm")
                                            .arg(text));
    return *date;
}

QVariantMap reminderMap(const ReminderRecord& r)
{
    QVariantMap map;
    for (int i = 0; i < kReminderFieldCount; ++i)
        map.insert(fieldName(F(i)), scriptValue(r, F(i)));
    return map;
}

void applyFields(ReminderRecord& r, const QVariantMap& fields)
{
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        const QString argument = QStringLiteral("fields.") + it.key();
        const std::optional<F> field = fieldNamed(it.key());
        if (!field || !isEditable(*field))
            throw InvalidArgument(argument, QStringLiteral("אינו שדה שאפשר לשנות"));
        r.setValue(*field, storedValue(*field, it.value(), argument));
    }
}
