#include "store/Reminder.h"

#include "platform/Clock.h"
#include "platform/Failure.h"

#include <array>
#include <utility>

namespace {

template <std::size_t N> QString nameByIndex(short code, const std::array<const char*, N>& names)
{
    if (code < 0 || std::size_t(code) >= N)
        return QString();
    return QString::fromUtf8(names[std::size_t(code)]);
}

constexpr std::array<const char*, 3> kImportanceNames = {"רגילה", "בינונית", "גבוהה"};
constexpr std::array<const char*, 6> kPeriodUnitNames = {"דקה",  "שעה",  "יום",
                                                         "שבוע", "חודש", "שנה"};
constexpr std::array<const char*, 10> kMonthDayKindNames = {
    "יום",       "יום ראשון", "יום שני", "יום שלישי", "יום רביעי",
    "יום חמישי", "יום שישי",  "יום שבת", "יום חול",   "יום סוף שבוע"};
constexpr std::array<const char*, 5> kMonthCountNames = {"ראשון", "שני", "שלישי", "רביעי", "אחרון"};

constexpr std::pair<short, const char*> kEventTypeNames[] = {
    {EventOnce, "חד-פעמי"},
    {EventHourly, "כל שעה"},
    {EventDaily, "יומי"},
    {EventWeekly, "שבועי"},
    {EventMonthly, "חודשי"},
    {EventBiMonthly, "דו-חודשי"},
    {EventYearly, "שנתי"},
    {EventAdvanced, "מתקדם"},
    {EventHebrewMonthly, "כל חודש עברי"},
    {EventHebrewYearly, "כל שנה עברית"},
};

} // namespace

QString ImportanceName(short code)
{
    return nameByIndex(code, kImportanceNames);
}

QString EventTypeName(short code)
{
    for (const auto& [eventCode, name] : kEventTypeNames)
        if (eventCode == code)
            return QString::fromUtf8(name);
    return QString();
}

QString PeriodUnitName(short code)
{
    return nameByIndex(code, kPeriodUnitNames);
}
QString MonthDayKindName(short code)
{
    return nameByIndex(code, kMonthDayKindNames);
}
QString MonthCountName(short code)
{
    return nameByIndex(code, kMonthCountNames);
}

QString FieldText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString(QLatin1String(""));
    return value.toString();
}

Date NowToMinute()
{
    return Clock::now().withoutSeconds();
}

Date dateField(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return Date();
    bool ok = false;
    const double serial = value.toDouble(&ok);
    if (!ok)
        throw Failure::typeMismatch();
    return Date::fromSerial(serial);
}

std::optional<Date> optionalDateField(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return dateField(value);
}

QVariant dateValue(const Date& d)
{
    return QVariant(d.serial());
}
