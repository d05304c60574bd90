#include "common/LanNick.h"

#include "common/Ini.h"
#include "common/SettingsKeys.h"
#include "platform/SysInfo.h"

QString DefaultNick()
{
    return SysInfo::computerName().left(kNickWidth);
}

QString ReadNick()
{
    return ReadIni(SettingsKeys::lanSection, SettingsKeys::nick, DefaultNick());
}
