#include "manager/AdvOptUnits.h"

#include "store/Reminder.h"

#include <array>

namespace {

constexpr int kHebrewMonthsEntry = 6;
constexpr int kHebrewYearsEntry = 7;

// One unit's words: one, two (the dual, which stands without the digit; none for a minute),
// and more.
struct UnitWords
{
    const char* one;
    const char* two;
    const char* many;
};

constexpr std::array<UnitWords, 8> kUnits = {{
    {"דקה", nullptr, "דקות"},
    {"שעה", "שעתיים", "שעות"},
    {"יום", "יומיים", "ימים"},
    {"שבוע", "שבועיים", "שבועות"},
    {"חודש", "חודשיים", "חודשים"},
    {"שנה", "שנתיים", "שנים"},
    {"חודש עברי", "חודשיים עבריים", "חודשים עבריים"},
    {"שנה עברית", "שנתיים עבריות", "שנים עבריות"},
}};

const UnitWords* unitAt(int unitIndex)
{
    return unitIndex >= 0 && unitIndex < int(kUnits.size()) ? &kUnits[size_t(unitIndex)] : nullptr;
}

} // namespace

QStringList AdvOptUnitNames()
{
    QStringList names;
    for (const UnitWords& unit : kUnits)
        names << QString::fromUtf8(unit.one);
    return names;
}

QString AdvOptUnitWord(int unitIndex, int count)
{
    const UnitWords* unit = unitAt(unitIndex);
    if (!unit)
        return QString();
    return QString::fromUtf8(count == 1 ? unit->one : unit->many);
}

QString everyPeriodText(int unitIndex, int count)
{
    const UnitWords* unit = unitAt(unitIndex);
    if (!unit)
        return QString();
    if (count == 1)
        return QStringLiteral("כל ") + QString::fromUtf8(unit->one);
    if (count == 2 && unit->two)
        return QStringLiteral("כל ") + QString::fromUtf8(unit->two);
    return QStringLiteral("כל %1 %2").arg(count).arg(QString::fromUtf8(unit->many));
}

short AdvOptEventType(int unitIndex)
{
    if (unitIndex == kHebrewMonthsEntry)
        return EventHebrewMonthly;
    return unitIndex == kHebrewYearsEntry ? short(EventHebrewYearly) : short(EventAdvanced);
}

int AdvOptUnitIndex(short eventType, short unit)
{
    if (eventType == EventHebrewMonthly)
        return kHebrewMonthsEntry;
    return eventType == EventHebrewYearly ? kHebrewYearsEntry : unit;
}
