#include "LanSettings.h"

#include "Failure.h"
#include "Ini.h"
#include "Log.h"
#include "SysInfo.h"

QString LANNick;
quint16 LANPort = 0;
bool LANOptSend = false;
bool LANOptReceive = false;

namespace {

constexpr int kNickLength = 9;
const QString kSection = QStringLiteral("LAN_Settings");

// The key's value converted; its default, converted, when the stored text
// does not convert.
template <typename Convert>
auto loadConverted(const QString& key, const QString& defaultText, Convert convert)
{
    const QString text = ReadIni(kSection, key, defaultText);
    try {
        return convert(text);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("LoadLANSettings: %1=%2: %3").arg(key, text, describe(e)),
                 LogError);
        return convert(defaultText);
    }
}

} // namespace

QString DefaultNick()
{
    return SysInfo::computerName().left(kNickLength);
}

void LoadLANSettings()
{
    LANNick = ReadIni(kSection, QStringLiteral("Nick"), DefaultNick());
    LANPort = loadConverted(QStringLiteral("Port"), QStringLiteral("217"), textToPort);
    LANOptSend = loadConverted(QStringLiteral("OptSend"), QStringLiteral("1"), textToBool);
    LANOptReceive = loadConverted(QStringLiteral("OptReceive"), QStringLiteral("1"), textToBool);
}
