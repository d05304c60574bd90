#pragma once

#include "platform/Date.h"

#include <QString>
#include <QVariant>

#include <optional>

// The code tables of the reminder record (ReminderRecord.h) and the
// conversions of its field values.

// Recurrence type codes (REventType).
enum EventType : short {
    EventOnce = 0,
    EventHourly = 1,
    EventDaily = 5,
    EventWeekly = 10,
    EventMonthly = 20,
    EventBiMonthly = 30,
    EventYearly = 60,
    EventAdvanced = 100,
    EventHebrewMonthly = 120, // every Adv_PeriodN Hebrew months
    EventHebrewYearly = 160,  // every Adv_PeriodN Hebrew years
};

// The recurrence types in the order the editor offers them.
inline constexpr short kEventTypeCodes[] = {0, 1, 5, 10, 20, 30, 60, 100, 120, 160};

// A series that follows the Hebrew calendar; its anchor is Adv_HebrewMonth
// and Adv_HebrewDay, its step count Adv_PeriodN.
constexpr bool isHebrewEventType(short eventType)
{
    return eventType == EventHebrewMonthly || eventType == EventHebrewYearly;
}

// The step of each simple recurrence type: an interval unit (Date::Unit, the
// Adv_Period codes) and a count. The next occurrence steps by it, and a save
// stores it as Adv_Period and Adv_PeriodN. One-time and advanced have none.
struct TypeStep
{
    short eventType;
    short unit;
    short count;
};
inline constexpr TypeStep kTypeSteps[] = {
    {EventHourly, Date::Hour, 1},   {EventDaily, Date::Day, 1},       {EventWeekly, Date::Week, 1},
    {EventMonthly, Date::Month, 1}, {EventBiMonthly, Date::Month, 2}, {EventYearly, Date::Year, 1},
};
// The step of a simple type; nothing for one-time, advanced and unknown codes.
constexpr std::optional<TypeStep> stepOfType(short eventType)
{
    for (const TypeStep& step : kTypeSteps)
        if (step.eventType == eventType)
            return step;
    return std::nullopt;
}

// "רגילה", "בינונית", "גבוהה" for 0-2; any other code gives the empty text.
QString ImportanceName(short code);
// Display name of a recurrence type code; any other code gives the empty text.
QString EventTypeName(short code);
// Display names of the interval units 0-5 ("דקה" ...), day kinds 0-9 and occurrences 0-4.
QString PeriodUnitName(short code);
QString MonthDayKindName(short code);
QString MonthCountName(short code);

// A field value as text; null gives the empty text.
QString FieldText(const QVariant& value);

// Now without its seconds (the clock seam's now).
Date NowToMinute();

// A date field's value as a Date; null reads as the zero date.
Date dateField(const QVariant& value);
// The same, with null kept as no date.
std::optional<Date> optionalDateField(const QVariant& value);
// A Date as the value stored in a date field.
QVariant dateValue(const Date& d);
