#include "scheduling/DaysOffSetting.h"

#include "common/Ini.h"
#include "common/SettingsKeys.h"

bool IsraeliHolidaysOff()
{
    using namespace SettingsKeys;
    return ReadIni(reminderSection, israeliHolidays, israeliHolidaysDefault) != QLatin1String("0");
}

void SetIsraeliHolidaysOff(bool on)
{
    using namespace SettingsKeys;
    WriteIni(reminderSection, israeliHolidays, on ? QStringLiteral("1") : QStringLiteral("0"));
}
