#include "LanSettings.h"

#include "Failure.h"
#include "Ini.h"
#include "SysInfo.h"

QString LANNick;
short LANPort = 0;
bool LANOptSend = false;
bool LANOptReceive = false;

namespace {

constexpr int kNickLength = 9;

} // namespace

QString DefaultNick()
{
    return SysInfo::computerName().left(kNickLength);
}

void LoadLANSettings()
{
    const QString section = QStringLiteral("LAN_Settings");
    LANNick = ReadIni(section, QStringLiteral("Nick"), DefaultNick());
    LANPort = textToShort(ReadIni(section, QStringLiteral("Port"), QStringLiteral("217")));
    LANOptSend = textToBool(ReadIni(section, QStringLiteral("OptSend"), QStringLiteral("1")));
    LANOptReceive = textToBool(ReadIni(section, QStringLiteral("OptReceive"), QStringLiteral("1")));
}
