#include "scheduling/ReminderRules.h"

#include "calendar/CalendarRefused.h"
#include "calendar/HebrewRuleChecks.h"
#include "scheduling/Occurrences.h"
#include "store/Reminder.h"

namespace {

using F = ReminderField;

QString withValue(const QString& why, int value)
{
    return QStringLiteral("%1 (%2)").arg(why).arg(value);
}

// Runs one of the recurrence's guards on a field's value.
template <typename Guard> void requireRuleValue(F field, short value, Guard guard)
{
    try {
        guard(value);
    } catch (const RuleRefused& e) {
        throw ReminderRefused(field, withValue(RuleRefusalReason(e.value()), value));
    }
}

// Runs one of the Hebrew calendar's checks, its refusal told on the field.
template <typename Check> void requireCalendar(F field, Check check)
{
    try {
        check();
    } catch (const CalendarRefused& e) {
        throw ReminderRefused(field, e.description());
    }
}

// A Hebrew series: a step count of at least 1, a due date in the calendar's
// range, and an anchor (0 takes the due date's) that is a day of a month;
// when the due date lies in the anchor's month, that month must have the day.
void requireHebrewRule(const ReminderRecord& r)
{
    requireRuleValue(F::Adv_PeriodN, r.Adv_PeriodN, requireStepCount);
    HebrewDate due;
    requireCalendar(F::RDate, [&] { due = hebrewDateOf(r.RDate.date()); });
    if (r.Adv_HebrewDay == 0 && r.Adv_HebrewMonth == 0)
        return;
    if (r.Adv_HebrewDay < 1 || r.Adv_HebrewDay > 30)
        throw ReminderRefused(
            F::Adv_HebrewDay,
            withValue(CalendarRefused::noSuchDate().description(), r.Adv_HebrewDay));
    if (r.Adv_HebrewMonth < 0 || r.Adv_HebrewMonth > int(HebrewMonth::Elul))
        throw ReminderRefused(
            F::Adv_HebrewMonth,
            withValue(CalendarRefused::noSuchDate().description(), r.Adv_HebrewMonth));
    if (int(due.month) == r.Adv_HebrewMonth)
        requireCalendar(F::Adv_HebrewDay, [&] {
            requireHebrewStart({due.year, due.month, r.Adv_HebrewDay});
        });
}

void requireRule(const ReminderRecord& r)
{
    requireRuleValue(F::Adv_Period, r.Adv_Period, requireUnit);
    // 0 is no day chosen.
    if (r.Adv_WeekDay != 0)
        requireRuleValue(F::Adv_WeekDay, r.Adv_WeekDay, requireWeekDayMask);
    requireRuleValue(F::Adv_MonthDay, r.Adv_MonthDay,
                     [](short kind) { requireMonthRule(kind, 0); });
    requireRuleValue(F::Adv_MonthCount, r.Adv_MonthCount,
                     [](short count) { requireMonthRule(0, count); });
    if (r.Adv_SkipDaysOff && !canSkipDaysOff(r.REventType, r))
        throw ReminderRefused(F::Adv_SkipDaysOff,
                              QStringLiteral("דילוג על ימי חג אפשרי בחזרה יומית או שבועית בלבד"));
    if (isHebrewEventType(r.REventType))
        requireHebrewRule(r);
    if (r.REventType != EventAdvanced)
        return; // a simple type steps by its own code
    requireRuleValue(F::Adv_PeriodN, r.Adv_PeriodN, requireStepCount);
    if (r.Adv_AdvOpt && r.Adv_Period != Date::Week && r.Adv_Period != Date::Month)
        throw ReminderRefused(F::Adv_AdvOpt, RuleRefusalReason(RuleRefused::AdvancedUnit));
}

QString replaced(QString text, std::initializer_list<QChar> characters, QChar by)
{
    for (QChar c : characters)
        text.replace(c, by);
    return text;
}

} // namespace

ReminderRefused::ReminderRefused(ReminderField field, const QString& why)
    : Failure(fieldName(field) + QStringLiteral(": ") + why, 5), m_field(field), m_why(why)
{}

QString StoredCaption(QString typed)
{
    return replaced(std::move(typed), {u'\t', u'\r', u'\n'}, u' ').left(kCaptionWidth);
}

QString StoredDetail(QString typed)
{
    typed.replace(QLatin1Char('\t'), QLatin1Char(' '));
    typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    typed.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return typed.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void RequireStorable(const ReminderRecord& r)
{
    if (ImportanceName(r.RImportance).isEmpty())
        throw ReminderRefused(F::RImportance,
                              withValue(QStringLiteral("החשיבות אינה מוכרת"), r.RImportance));
    if (EventTypeName(r.REventType).isEmpty())
        throw ReminderRefused(F::REventType,
                              withValue(RuleRefusalReason(RuleRefused::EventType), r.REventType));
    if (r.RCaption.size() > kCaptionWidth)
        throw ReminderRefused(F::RCaption,
                              QStringLiteral("הכותרת ארוכה מ-%1 תווים").arg(kCaptionWidth));
    if (r.RAuthor.size() > kAuthorWidth)
        throw ReminderRefused(F::RAuthor,
                              QStringLiteral("שם המחבר ארוך מ-%1 תווים").arg(kAuthorWidth));
    requireRule(r);
}

bool captionMissing(const QString& caption)
{
    return caption.trimmed().isEmpty();
}

void RequireAuthored(const ReminderRecord& r)
{
    if (captionMissing(r.RCaption))
        throw ReminderRefused(F::RCaption, kCaptionMissing);
    RequireStorable(r);
}

QString RuleRefusalReason(RuleRefused::Value value)
{
    switch (value) {
    case RuleRefused::StepCount:
        return kTooFewSteps;
    case RuleRefused::Unit:
        return QStringLiteral("לא נבחרה יחידת זמן");
    case RuleRefused::WeekDayMask:
        return QStringLiteral("ימי השבוע אינם חוקיים");
    case RuleRefused::DayKind:
        return QStringLiteral("לא נבחר סוג היום בחודש");
    case RuleRefused::Occurrence:
        return QStringLiteral("לא נבחר מיקום היום בחודש");
    case RuleRefused::AdvancedUnit:
        return QStringLiteral("הגדרה מתקדמת אפשרית לשבועות ולחודשים בלבד");
    case RuleRefused::EventType:
        return QStringLiteral("סוג המופע אינו מוכר");
    }
    return {};
}

bool SharedByMe(const ReminderRecord& r)
{
    return r.IAMAuthor && r.BroadcastId != 0;
}
