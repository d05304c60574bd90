#include "Database.h"
#include "Failure.h"
#include "FieldValues.h"
#include "Log.h"
#include "Queries.h"
#include "Recordset.h"
#include "Recurrence.h"
#include "Reminder.h"

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

// Everything is computed before the edit starts, so a refused rule leaves the
// row exactly as it was.
void stepCurrentRow(Dynaset& rs)
{
    const short type = requiredShort(rs.value(QStringLiteral("REventType")));
    if (type == EventOnce) {
        rs.edit();
        rs.setValue(QStringLiteral("RActive"), false);
        rs.update();
        return;
    }
    const Date current = requiredDate(rs.value(QStringLiteral("RDate")));
    const Date next =
        type == EventAdvanced ? nextAdvancedOf(rs, current) : NextByType(current, type);
    const bool ended =
        type == EventAdvanced && isPastEnd(next, rs.value(QStringLiteral("Adv_NoEnd")),
                                           rs.value(QStringLiteral("Adv_DateEnd")));
    rs.edit();
    // A postponement of the dismissed occurrence does not carry over.
    rs.setValue(QStringLiteral("RDate"), dateValue(next));
    rs.setValue(QStringLiteral("RNext"), dateValue(next));
    if (ended)
        rs.setValue(QStringLiteral("RActive"), false);
    rs.update();
}

} // namespace

void Reschedular(qint32 reminderId)
{
    try {
        const auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::byId(reminderId));
        if (rs.hasCurrent()) // else deleted meanwhile
            stepCurrentRow(rs);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("Reschedular: ") + describe(e), LogError);
    }
}
