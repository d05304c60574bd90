#include "Database.h"
#include "Failure.h"
#include "FieldValues.h"
#include "Log.h"
#include "Queries.h"
#include "Recordset.h"
#include "Recurrence.h"
#include "Reminder.h"

#include <optional>

namespace {

// An advanced series ends once its next occurrence lies beyond Adv_DateEnd;
// a null in either end field lets it go on.
bool isPastEnd(const Date& next, const QVariant& noEnd, const QVariant& dateEnd)
{
    if (noEnd.isNull() || dateEnd.isNull() || requiredFlag(noEnd))
        return false;
    return next > requiredDate(dateEnd);
}

Date nextAdvancedOf(const Dynaset& rs, const Date& current)
{
    return NextAdvanced(current, requiredShort(rs.value(QStringLiteral("Adv_Period"))),
                        requiredShort(rs.value(QStringLiteral("Adv_PeriodN"))),
                        requiredFlag(rs.value(QStringLiteral("Adv_AdvOpt"))),
                        requiredShort(rs.value(QStringLiteral("Adv_WeekDay"))),
                        requiredShort(rs.value(QStringLiteral("Adv_MonthDay"))),
                        requiredShort(rs.value(QStringLiteral("Adv_MonthCount"))));
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
    const short type = requiredShort(rs.value(QStringLiteral("REventType")));
    if (type == EventOnce)
        return {};
    const Date current = requiredDate(rs.value(QStringLiteral("RDate")));
    Step step;
    step.next = type == EventAdvanced ? nextAdvancedOf(rs, current) : NextByType(current, type);
    step.ended =
        type == EventAdvanced && isPastEnd(*step.next, rs.value(QStringLiteral("Adv_NoEnd")),
                                           rs.value(QStringLiteral("Adv_DateEnd")));
    return step;
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
