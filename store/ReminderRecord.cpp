#include "store/ReminderRecord.h"

#include "common/TextConversion.h"
#include "platform/Failure.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/SqlValue.h"

#include <variant>

namespace {

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

// Each field's name and member, in table order.
using Member = std::variant<qint32 ReminderRecord::*, QString ReminderRecord::*,
                            Date ReminderRecord::*, std::optional<Date> ReminderRecord::*,
                            short ReminderRecord::*, bool ReminderRecord::*>;
struct FieldEntry
{
    const char* name;
    Member member;
};
using R = ReminderRecord;
const FieldEntry kFields[kReminderFieldCount] = {
    {"RMain_Id", &R::RMain_Id},
    {"RCaption", &R::RCaption},
    {"RDetail", &R::RDetail},
    {"RDate", &R::RDate},
    {"RNext", &R::RNext},
    {"RImportance", &R::RImportance},
    {"REventType", &R::REventType},
    {"RActive", &R::RActive},
    {"Adv_AdvOpt", &R::Adv_AdvOpt},
    {"Adv_Period", &R::Adv_Period},
    {"Adv_PeriodN", &R::Adv_PeriodN},
    {"Adv_WeekDay", &R::Adv_WeekDay},
    {"Adv_MonthDay", &R::Adv_MonthDay},
    {"Adv_MonthCount", &R::Adv_MonthCount},
    {"Adv_DateEnd", &R::Adv_DateEnd},
    {"Adv_NoEnd", &R::Adv_NoEnd},
    {"RDate0", &R::RDate0},
    {"BroadcastId", &R::BroadcastId},
    {"IAMAuthor", &R::IAMAuthor},
    {"ReceivedBy", &R::ReceivedBy},
    {"SentTo", &R::SentTo},
    {"RAuthor", &R::RAuthor},
    {"Adv_HebrewMonth", &R::Adv_HebrewMonth},
    {"Adv_HebrewDay", &R::Adv_HebrewDay},
    {"Adv_SkipDaysOff", &R::Adv_SkipDaysOff},
};

// The record's member for the field, for reading and writing alike.
template <typename Record, typename Visit>
void visitField(Record& r, ReminderField field, Visit&& visit)
{
    std::visit([&](auto member) { visit(r.*member); }, kFields[int(field)].member);
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
    return QString::fromLatin1(kFields[int(field)].name);
}

std::optional<ReminderField> fieldNamed(const QString& name)
{
    for (int i = 0; i < kReminderFieldCount; ++i)
        if (name == QLatin1String(kFields[i].name))
            return ReminderField(i);
    return std::nullopt;
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

QVariant ReminderRecord::value(ReminderField field) const
{
    if (isNull(field))
        return QVariant();
    QVariant value;
    visitField(*this, field, ToValue{value});
    return value;
}

void ReminderRecord::setValue(ReminderField field, const QVariant& value)
{
    visitField(*this, field, FromValue{value});
    m_nulls[std::size_t(field)] = isSqlNull(value);
}

ReminderRecord ReminderRecord::read(const RowCursor& rs)
{
    ReminderRecord r;
    for (int i = 0; i < kReminderFieldCount; ++i) {
        const auto field = ReminderField(i);
        r.setValue(field, rs.hasField(fieldName(field)) ? fieldValue(rs, field) : QVariant());
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
               F::Adv_MonthCount, F::Adv_DateEnd, F::Adv_NoEnd, F::Adv_HebrewMonth,
               F::Adv_HebrewDay, F::Adv_SkipDaysOff});
}

bool sameIn(const ReminderRecord& a, const ReminderRecord& b,
            std::initializer_list<ReminderField> fields)
{
    for (ReminderField field : fields)
        if (a.value(field) != b.value(field))
            return false;
    return true;
}

bool sameRecord(const ReminderRecord& a, const ReminderRecord& b)
{
    for (int i = 0; i < kReminderFieldCount; ++i)
        if (a.value(ReminderField(i)) != b.value(ReminderField(i)))
            return false;
    return true;
}

std::optional<ReminderRecord> storedReminder(Database& db, qint32 id)
{
    Snapshot rs(db, Queries::byId(id));
    if (!rs.hasCurrent())
        return std::nullopt;
    return ReminderRecord::read(rs);
}
