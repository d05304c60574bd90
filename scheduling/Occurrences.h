#pragma once

#include "calendar/HebrewMissingDays.h"
#include "platform/Date.h"
#include "store/ReminderRecord.h"

#include <QList>

#include <optional>

// One reminder's recurrence as its row holds it: REventType and, for the
// advanced and the Hebrew types, the Adv_ fields.
struct RecurrenceRule
{
    short eventType = 0;
    short unit = Date::Week; // Adv_Period
    short n = 1;             // Adv_PeriodN
    bool advanced = false;   // Adv_AdvOpt
    short weekDayMask = 0;   // Adv_WeekDay
    short monthDayKind = 1;  // Adv_MonthDay
    short monthCount = 0;    // Adv_MonthCount
    bool hasEnd = false;     // Adv_NoEnd off (and both end fields set)
    Date end;                // Adv_DateEnd
    // The Hebrew types' day and month; none takes those of the current date.
    std::optional<HebrewAnchor> anchor; // Adv_HebrewMonth, Adv_HebrewDay
    bool skipDaysOff = false;           // Adv_SkipDaysOff, daily and weekly rules
    bool holidaysOff = false;           // the office's IsraeliHolidays, the working-day rules
};

// The rule of a reminder of the given type whose Adv_ fields are adv; a
// missing end date lets the series go on. Reads the office's days off setting.
RecurrenceRule recurrenceRule(short eventType, const AdvancedRule& adv);
// Whether the series goes on for ever: no end chosen, or no end date to stop at.
bool runsWithoutEnd(const AdvancedRule& adv);
// The Adv_ fields as a row holds them, a null Adv_NoEnd read as no end.
AdvancedRule storedAdvancedRule(const ReminderRecord& r);
// The Hebrew anchor the Adv_ fields hold; none when Adv_HebrewDay is 0.
std::optional<HebrewAnchor> storedAnchor(const AdvancedRule& adv);
// Whether the rule may pass over days off: daily and weekly ones.
bool canSkipDaysOff(short eventType, const AdvancedRule& adv);

// What dismissing the occurrence current at now makes of a reminder: a
// one-time reminder keeps its date and goes off; a recurring one moves to its
// next occurrence (past days off, when it skips them), and an advanced series
// whose next occurrence lies past its end moves there and goes off. Throws Failure (RuleRefused for
// a rule the recurrence refuses).
struct RecurrenceStep
{
    Date next;
    bool active = true;
};
RecurrenceStep StepRecurrence(const RecurrenceRule& rule, const Date& current, const Date& now);

// The rule as a reminder's row holds it: only an advanced row's Adv_ fields
// count, and a null in either end field lets its series go on. A field the
// rule needs that is null throws Failure ("Invalid use of Null").
RecurrenceRule storedRule(const ReminderRecord& r);
// What dismissing its alert at the clock seam's now makes of a stored
// reminder: the step from its RDate, or nothing for a one-time reminder,
// which goes off as it stands. Throws as storedRule and StepRecurrence do.
std::optional<RecurrenceStep> DismissalStep(const ReminderRecord& r);

// The dates a reminder due at start takes when each of its alerts is
// dismissed as it comes: start, then one step after another, at most count
// dates; ended when the series stops within them. A start in the past is
// dismissed now. Throws as StepRecurrence does.
struct Occurrences
{
    QList<Date> dates;
    bool ended = false;
};
Occurrences NextOccurrences(const RecurrenceRule& rule, const Date& start, int count);

// A stored reminder's due times: its current one (RNext) first, then the
// steps from RDate as NextOccurrences gives them; count at most. Throws as
// storedRule and StepRecurrence do.
QList<Date> ReminderOccurrences(const ReminderRecord& r, int count);
