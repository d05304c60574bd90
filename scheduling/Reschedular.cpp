#include "scheduling/Reschedular.h"

#include "common/Trapped.h"
#include "platform/Clock.h"
#include "scheduling/Occurrences.h"
#include "scheduling/ReminderWrites.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"

namespace {

using F = ReminderField;

// The rule as the row holds it. Only an advanced row's Adv_ fields count;
// a null in either end field lets its series go on.
RecurrenceRule ruleOf(const ReminderRecord& r)
{
    r.requirePresent({F::REventType});
    if (r.REventType != EventAdvanced)
        return RecurrenceRule{r.REventType};
    r.requirePresent({F::Adv_Period, F::Adv_PeriodN, F::Adv_AdvOpt, F::Adv_WeekDay, F::Adv_MonthDay,
                      F::Adv_MonthCount});
    AdvancedRule adv = r;
    adv.Adv_NoEnd = adv.Adv_NoEnd || r.isNull(F::Adv_NoEnd);
    return recurrenceRule(r.REventType, adv);
}

// The step a dismissed reminder takes: its next occurrence, or nothing when
// it is switched off.
struct Step
{
    std::optional<Date> next;
    bool ended = false;
};

Step stepOf(const ReminderRecord& r)
{
    const RecurrenceRule rule = ruleOf(r);
    if (rule.eventType == EventOnce)
        return {};
    r.requirePresent({F::RDate});
    const RecurrenceStep step = StepRecurrence(rule, r.RDate, Clock::now());
    return {step.next, !step.active};
}

// A rule that yields no next occurrence would leave the reminder due for
// ever, back on every check: it is logged and switched off instead, and
// nothing else in the row changes.
Step stepOrSwitchOff(const Dynaset& rs)
{
    Step step;
    trapped(QStringLiteral("Reschedular"), [&] { step = stepOf(ReminderRecord::read(rs)); });
    return step;
}

void stepCurrentRow(Dynaset& rs)
{
    const Step step = stepOrSwitchOff(rs);
    ReminderRecord r;
    rs.edit();
    if (step.next) {
        // A postponement of the dismissed occurrence does not carry over.
        r.RDate = r.RNext = *step.next;
        r.write(rs, {F::RDate, F::RNext});
    }
    if (!step.next || step.ended) {
        r.RActive = false;
        r.write(rs, {F::RActive});
    }
    rs.update();
}

// The row still holds the next showing the caller saw; a row saved or
// received meanwhile is someone else's newer word.
bool stillShows(const Dynaset& rs, const std::optional<Date>& shownNext)
{
    return !shownNext || optionalDateField(fieldValue(rs, F::RNext)) == shownNext;
}

} // namespace

void Reschedular(qint32 reminderId, const std::optional<Date>& shownNext)
{
    trapped(QStringLiteral("Reschedular"), [&] {
        {
            const auto db = OpenReminderDb();
            Dynaset rs(*db, Queries::byId(reminderId));
            if (!rs.hasCurrent() || !stillShows(rs, shownNext))
                return; // deleted or changed meanwhile
            stepCurrentRow(rs);
        }
        ReminderWritten();
    });
}
