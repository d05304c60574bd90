#include "Clock.h"
#include "Database.h"
#include "Failure.h"
#include "FieldValues.h"
#include "Log.h"
#include "Occurrences.h"
#include "Queries.h"
#include "Recordset.h"
#include "Recurrence.h"
#include "Reminder.h"

#include <optional>

namespace {

// The rule as the row holds it. Only an advanced row's Adv_ fields count;
// a null in either end field lets its series go on.
RecurrenceRule ruleOf(const Dynaset& rs)
{
    RecurrenceRule rule;
    rule.eventType = requiredShort(rs.value(QStringLiteral("REventType")));
    if (rule.eventType != EventAdvanced)
        return rule;
    rule.unit = requiredShort(rs.value(QStringLiteral("Adv_Period")));
    rule.n = requiredShort(rs.value(QStringLiteral("Adv_PeriodN")));
    rule.advanced = requiredFlag(rs.value(QStringLiteral("Adv_AdvOpt")));
    rule.weekDayMask = requiredShort(rs.value(QStringLiteral("Adv_WeekDay")));
    rule.monthDayKind = requiredShort(rs.value(QStringLiteral("Adv_MonthDay")));
    rule.monthCount = requiredShort(rs.value(QStringLiteral("Adv_MonthCount")));
    const QVariant noEnd = rs.value(QStringLiteral("Adv_NoEnd"));
    const QVariant dateEnd = rs.value(QStringLiteral("Adv_DateEnd"));
    rule.hasEnd = !noEnd.isNull() && !dateEnd.isNull() && !requiredFlag(noEnd);
    if (rule.hasEnd)
        rule.end = requiredDate(dateEnd);
    return rule;
}

// The step a dismissed reminder takes: its next occurrence, or nothing when
// it is switched off.
struct Step
{
    std::optional<Date> next;
    bool ended = false;
};

Step stepOf(const Dynaset& rs)
{
    const RecurrenceRule rule = ruleOf(rs);
    if (rule.eventType == EventOnce)
        return {};
    const RecurrenceStep step =
        StepRecurrence(rule, requiredDate(rs.value(QStringLiteral("RDate"))), Clock::now());
    return {step.next, !step.active};
}

// A rule that yields no next occurrence would leave the reminder due for
// ever, back on every check: it is logged and switched off instead, and
// nothing else in the row changes.
Step stepOrSwitchOff(const Dynaset& rs)
{
    try {
        return stepOf(rs);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("Reschedular: ") + describe(e), LogError);
        return {};
    }
}

void stepCurrentRow(Dynaset& rs)
{
    const Step step = stepOrSwitchOff(rs);
    rs.edit();
    if (step.next) {
        // A postponement of the dismissed occurrence does not carry over.
        rs.setValue(QStringLiteral("RDate"), dateValue(*step.next));
        rs.setValue(QStringLiteral("RNext"), dateValue(*step.next));
    }
    if (!step.next || step.ended)
        rs.setValue(QStringLiteral("RActive"), false);
    rs.update();
}

// The row still holds the next showing the caller saw; a row saved or
// received meanwhile is someone else's newer word.
bool stillShows(const Dynaset& rs, const std::optional<Date>& shownNext)
{
    if (!shownNext)
        return true;
    const QVariant next = rs.value(QStringLiteral("RNext"));
    return !next.isNull() && dateField(next) == *shownNext;
}

} // namespace

void Reschedular(qint32 reminderId, const std::optional<Date>& shownNext)
{
    try {
        const auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::byId(reminderId));
        if (rs.hasCurrent() && stillShows(rs, shownNext)) // else deleted or changed meanwhile
            stepCurrentRow(rs);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("Reschedular: ") + describe(e), LogError);
    }
}
