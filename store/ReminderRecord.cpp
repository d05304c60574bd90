#include "ReminderRecord.h"

#include "Failure.h"
#include "Recordset.h"
#include "Reminder.h"
#include "SqlValue.h"
#include "TextConversion.h"

namespace {

constexpr const char* kFieldNames[kReminderFieldCount] = {
    "RMain_Id",     "RCaption",       "RDetail",     "RDate",      "RNext",       "RImportance",
    "REventType",   "RActive",        "Adv_AdvOpt",  "Adv_Period", "Adv_PeriodN", "Adv_WeekDay",
    "Adv_MonthDay", "Adv_MonthCount", "Adv_DateEnd", "Adv_NoEnd",  "RDate0",      "BroadcastId",
    "IAMAuthor",    "ReceivedBy",     "SentTo",      "RAuthor",
};

double number(const QVariant& value)
{
    bool ok = false;
    const double n = value.toDouble(&ok);
    if (!ok)
        throw Failure::typeMismatch();
    return n;
}

short shortOf(const QVariant& value)
{
    return isSqlNull(value) ? 0 : numberToShort(number(value));
}

qint32 longOf(const QVariant& value)
{
    if (isSqlNull(value))
        return 0;
    const double n = number(value);
    if (!(n >= -2147483648.0 && n <= 2147483647.0))
        throw Failure::overflow();
    return qint32(n);
}

bool flagOf(const QVariant& value)
{
    return !isSqlNull(value) && number(value) != 0;
}

// The record's members by field, for reading and writing alike.
template <typename Record, typename Visit>
void visitField(Record& r, ReminderField field, Visit&& visit)
{
    switch (field) {
    case ReminderField::RMain_Id:
        return visit(r.RMain_Id);
    case ReminderField::RCaption:
        return visit(r.RCaption);
    case ReminderField::RDetail:
        return visit(r.RDetail);
    case ReminderField::RDate:
        return visit(r.RDate);
    case ReminderField::RNext:
        return visit(r.RNext);
    case ReminderField::RImportance:
        return visit(r.RImportance);
    case ReminderField::REventType:
        return visit(r.REventType);
    case ReminderField::RActive:
        return visit(r.RActive);
    case ReminderField::Adv_AdvOpt:
        return visit(r.Adv_AdvOpt);
    case ReminderField::Adv_Period:
        return visit(r.Adv_Period);
    case ReminderField::Adv_PeriodN:
        return visit(r.Adv_PeriodN);
    case ReminderField::Adv_WeekDay:
        return visit(r.Adv_WeekDay);
    case ReminderField::Adv_MonthDay:
        return visit(r.Adv_MonthDay);
    case ReminderField::Adv_MonthCount:
        return visit(r.Adv_MonthCount);
    case ReminderField::Adv_DateEnd:
        return visit(r.Adv_DateEnd);
    case ReminderField::Adv_NoEnd:
        return visit(r.Adv_NoEnd);
    case ReminderField::RDate0:
        return visit(r.RDate0);
    case ReminderField::BroadcastId:
        return visit(r.BroadcastId);
    case ReminderField::IAMAuthor:
        return visit(r.IAMAuthor);
    case ReminderField::ReceivedBy:
        return visit(r.ReceivedBy);
    case ReminderField::SentTo:
        return visit(r.SentTo);
    case ReminderField::RAuthor:
        return visit(r.RAuthor);
    }
}

struct FromValue
{
    const QVariant& value;
    void operator()(QString& member) const { member = FieldText(value); }
    void operator()(Date& member) const { member = dateField(value); }
    void operator()(std::optional<Date>& member) const { member = optionalDateField(value); }
    void operator()(short& member) const { member = shortOf(value); }
    void operator()(qint32& member) const { member = longOf(value); }
    void operator()(bool& member) const { member = flagOf(value); }
};

struct ToValue
{
    QVariant& value;
    void operator()(const QString& member) const { value = member; }
    void operator()(const Date& member) const { value = dateValue(member); }
    void operator()(const std::optional<Date>& member) const
    {
        value = member ? dateValue(*member) : QVariant();
    }
    void operator()(short member) const { value = int(member); }
    void operator()(qint32 member) const { value = member; }
    void operator()(bool member) const { value = member; }
};

} // namespace

QString fieldName(ReminderField field)
{
    return QString::fromLatin1(kFieldNames[int(field)]);
}

QVariant fieldValue(const RowCursor& rs, ReminderField field)
{
    return rs.value(fieldName(field));
}

qint32 reminderId(const RowCursor& rs)
{
    return qint32(fieldValue(rs, ReminderField::RMain_Id).toLongLong());
}

std::optional<Date> ReminderRecord::optionalDate(ReminderField field) const
{
    std::optional<Date> date;
    if (!isNull(field))
        visitField(*this, field, [&date](const auto& member) {
            if constexpr (std::is_same_v<std::decay_t<decltype(member)>, Date>)
                date = member;
        });
    return date;
}

void ReminderRecord::requirePresent(std::initializer_list<ReminderField> fields) const
{
    for (ReminderField field : fields)
        if (isNull(field))
            throw Failure::invalidUseOfNull();
}

ReminderRecord ReminderRecord::read(const RowCursor& rs)
{
    ReminderRecord r;
    for (int i = 0; i < kReminderFieldCount; ++i) {
        const auto field = ReminderField(i);
        const QVariant value = rs.hasField(fieldName(field)) ? fieldValue(rs, field) : QVariant();
        r.m_nulls[std::size_t(i)] = isSqlNull(value);
        visitField(r, field, FromValue{value});
    }
    return r;
}

void ReminderRecord::write(Dynaset& rs, std::initializer_list<ReminderField> fields) const
{
    for (ReminderField field : fields) {
        QVariant value;
        visitField(*this, field, ToValue{value});
        rs.setValue(fieldName(field), value);
    }
}

void ReminderRecord::writeAuthored(Dynaset& rs) const
{
    using F = ReminderField;
    write(rs, {F::RCaption, F::RDate, F::RImportance, F::REventType, F::RDetail, F::RActive});
    rs.setValue(fieldName(F::RNext), dateValue(RDate));
}

void ReminderRecord::writeRule(Dynaset& rs) const
{
    using F = ReminderField;
    write(rs, {F::Adv_AdvOpt, F::Adv_Period, F::Adv_PeriodN, F::Adv_WeekDay, F::Adv_MonthDay,
               F::Adv_MonthCount, F::Adv_DateEnd, F::Adv_NoEnd});
}
