#include "server/ReminderScripts.h"

#include "calendar/CalendarRefused.h"
#include "calendar/IsraeliDaysOff.h"
#include "lan/LanFormat.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "lan/SendRUpdate.h"
#include "scheduling/Occurrences.h"
#include "scheduling/ReminderRules.h"
#include "scheduling/ReminderWrites.h"
#include "server/InvalidArgument.h"
#include "server/ReminderMaps.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"

#include <type_traits>

namespace {

using F = ReminderField;

// The audience of a send: everybody, or the name list.
struct Audience
{
    bool toList = false;
    QString names;
    QString recipients() const { return toList ? names : kAllRecipients; }
};

// The rules name a field; the caller knows it by its argument.
template <typename Work> auto naming(QString (*argumentOf)(F), Work work)
{
    try {
        return work();
    } catch (const ReminderRefused& refused) {
        throw InvalidArgument(argumentOf(refused.field()), refused.why());
    }
}

QString addArgument(F field)
{
    switch (field) {
    case F::RCaption:
        return QStringLiteral("caption");
    case F::RDate:
        return QStringLiteral("due");
    case F::RDetail:
        return QStringLiteral("details");
    case F::RImportance:
        return QStringLiteral("importance");
    case F::REventType:
        return QStringLiteral("eventType");
    case F::SentTo:
        return QStringLiteral("shareTo");
    default:
        return fieldName(field);
    }
}

QString updateArgument(F field)
{
    return QStringLiteral("fields.") + fieldName(field);
}

std::optional<Audience> audienceOf(const QString& shareTo)
{
    if (shareTo.isEmpty())
        return std::nullopt;
    if (!LANOptSend)
        throw InvalidArgument(QStringLiteral("shareTo"),
                              QStringLiteral("השליחה ברשת כבויה בהגדרות המערכת"));
    if (shareTo == kAllRecipients)
        return Audience{};
    return Audience{true, naming(&addArgument, [&] { return NameListFromCommas(shareTo); })};
}

InvalidArgument unknownReminder(qint32 id)
{
    return InvalidArgument(QStringLiteral("id"), QStringLiteral("אין תזכורת שמספרה %1").arg(id));
}

ReminderRecord requireStored(qint32 id)
{
    if (std::optional<ReminderRecord> stored = storedReminder(*OpenReminderDb(), id))
        return *stored;
    throw unknownReminder(id);
}

// Saves and sends as the editor does with "שלח ברשת" ticked; the reminder is
// checked to go out first, so a refused send stores nothing.
qint32 saveAndShare(const ReminderRecord& entered, const ReminderRecord& stored, qint32 id,
                    const std::optional<Audience>& audience, QString (*argumentOf)(F))
{
    return naming(argumentOf, [&] {
        if (!audience)
            return SaveReminder(entered, id);
        RequireSendable(AuthoredSave(stored, entered, LANNick), audience->recipients());
        return SaveReminder(entered, id, [&](Dynaset& rs, qint32 savedId) {
            SendRUpdate(rs, savedId, audience->toList, audience->names);
        });
    });
}

qint32 add(const QString& caption, const QString& due, const QString& details, int importance,
           int eventType, const QString& shareTo)
{
    ReminderRecord entered;
    entered.RCaption = caption;
    entered.RDate = dateArgument(QStringLiteral("due"), due);
    entered.RDetail = details;
    entered.RImportance = codeArgument(QStringLiteral("importance"), importance);
    entered.REventType = codeArgument(QStringLiteral("eventType"), eventType);
    if (entered.REventType == EventAdvanced)
        throw InvalidArgument(QStringLiteral("eventType"),
                              QStringLiteral("סוג מתקדם (100) נקבע ב-UpdateReminder"));
    entered.RActive = true;
    const std::optional<Audience> audience = audienceOf(shareTo);
    // A new row's rule fields are the table's defaults, which no simple type reads.
    return saveAndShare(entered, ReminderRecord{}, 0, audience, &addArgument);
}

// The rule fields a type reads: all for the advanced type, the count and
// the anchor for a Hebrew one, and the skipping of days off for any that can.
bool setsRule(const ReminderRecord& r, F field)
{
    if (r.REventType == EventAdvanced)
        return true;
    if (field == F::Adv_SkipDaysOff)
        return canSkipDaysOff(r.REventType, r);
    return isHebrewEventType(r.REventType) &&
           (field == F::Adv_PeriodN || field == F::Adv_HebrewMonth || field == F::Adv_HebrewDay);
}

constexpr int kMaxOccurrences = 1000;

QStringList occurrences(qint32 id, int count)
{
    if (count < 1 || count > kMaxOccurrences)
        throw InvalidArgument(QStringLiteral("count"),
                              QStringLiteral("בין 1 ל-%1").arg(kMaxOccurrences));
    const ReminderRecord r = requireStored(id);
    if (!r.RActive)
        throw InvalidArgument(QStringLiteral("id"),
                              QStringLiteral("התזכורת %1 אינה פעילה").arg(id));
    QStringList lines;
    for (const Date& d : ReminderOccurrences(r, count))
        lines << formatIsoMinute(d);
    return lines;
}

QStringList daysOff(int year)
{
    QList<DayOff> days;
    try {
        days = israeliDaysOff(year);
    } catch (const CalendarRefused& e) {
        throw InvalidArgument(QStringLiteral("year"), e.description());
    }
    QStringList lines;
    for (const DayOff& day : days)
        lines << day.date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\t') + day.name;
    return lines;
}

bool remove(qint32 id, bool network)
{
    const auto decide = [network] {
        return network ? NetworkDeletion::Also : NetworkDeletion::LocalOnly;
    };
    return DeleteReminder(id, decide, [](qint32 broadcastId) { SendDELMsg(broadcastId); }) ==
           Deletion::Deleted;
}

bool postpone(qint32 id, int minutes)
{
    const auto argumentOf = [](F) { return QStringLiteral("minutes"); };
    if (naming(+argumentOf, [&] { return PostponeReminderMinutes(id, minutes); }) ==
        Postponement::NotStored)
        throw unknownReminder(id);
    return true;
}

QVariantMap get(qint32 id)
{
    return reminderMap(requireStored(id));
}

QList<QVariantMap> list(int filter)
{
    if (filter < 0 || filter > 2)
        throw InvalidArgument(QStringLiteral("filter"),
                              QStringLiteral("0 פעילות, 1 לא פעילות או 2 הכל"));
    auto db = OpenReminderDb();
    Snapshot rows(*db, Queries::list(short(filter), fieldName(F::RDate), false));
    QList<QVariantMap> maps;
    maps.reserve(rows.recordCount());
    for (; !rows.eof(); rows.moveNext())
        maps << reminderMap(ReminderRecord::read(rows));
    return maps;
}

void update(qint32 id, const QVariantMap& fields)
{
    const ReminderRecord stored = requireStored(id);
    ReminderRecord entered = stored;
    entered.RActive = true;
    applyFields(entered, fields);
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        if (const std::optional<F> field = fieldNamed(it.key());
            field && isRuleField(*field) && !setsRule(entered, *field))
            throw InvalidArgument(updateArgument(*field),
                                  QStringLiteral("נקבע לפי סוג המופע; משתנה רק בסוג מתקדם (%1 %2)")
                                      .arg(fieldName(F::REventType))
                                      .arg(EventAdvanced));
    std::optional<Audience> audience;
    if (SharedByMe(stored) && LANOptSend)
        audience = Audience{!stored.SentTo.isEmpty(), stored.SentTo};
    saveAndShare(entered, stored, id, audience, &updateArgument);
}

} // namespace

template <typename Call> auto ReminderScripts::serve(Call call)
{
    using Value = decltype(call());
    if constexpr (std::is_void_v<Value>)
        serveReminderCall([call] {
            call();
            return QVariant();
        });
    else
        return serveReminderCall([call] { return QVariant::fromValue(call()); })
            .template value<Value>();
}

qint32 ReminderScripts::AddReminder(const QString& caption, const QString& due,
                                    const QString& details, int importance, int eventType,
                                    const QString& shareTo)
{
    return serve([=] { return add(caption, due, details, importance, eventType, shareTo); });
}

bool ReminderScripts::DeleteReminder(qint32 id, bool network)
{
    return serve([=] { return remove(id, network); });
}

bool ReminderScripts::PostponeReminder(qint32 id, int minutes)
{
    return serve([=] { return postpone(id, minutes); });
}

QVariantMap ReminderScripts::GetReminder(qint32 id)
{
    return serve([=] { return get(id); });
}

QList<QVariantMap> ReminderScripts::ListReminders(int filter)
{
    return serve([=] { return list(filter); });
}

void ReminderScripts::UpdateReminder(qint32 id, const QVariantMap& fields)
{
    serve([=] { update(id, fields); });
}

QStringList ReminderScripts::Occurrences(qint32 id, int count)
{
    return serve([=] { return occurrences(id, count); });
}

QStringList ReminderScripts::DaysOff(int year)
{
    return serve([=] { return daysOff(year); });
}
