#include "LanSettings.h"

#include "Failure.h"
#include "Ini.h"
#include "Log.h"
#include "Reminder.h"
#include "SysInfo.h"

QString LANNick;
quint16 LANPort = 0;
bool LANOptSend = false;
bool LANOptReceive = false;

namespace {

const QString kSection = QStringLiteral("LAN_Settings");
const QString kNick = QStringLiteral("Nick");
const QString kPort = QStringLiteral("Port");
const QString kOptSend = QStringLiteral("OptSend");
const QString kOptReceive = QStringLiteral("OptReceive");

// The key's value converted; its default, converted, when the stored text
// does not convert.
template <typename Convert>
auto loadConverted(const QString& logName, const QString& key, const QString& defaultText,
                   Convert convert)
{
    const QString text = ReadIni(kSection, key, defaultText);
    try {
        return convert(text);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("%1: %2=%3: %4").arg(logName, key, text, describe(e)), LogError);
        return convert(defaultText);
    }
}

} // namespace

QString DefaultNick()
{
    // The nickname is the author name of every reminder saved here.
    return SysInfo::computerName().left(kAuthorWidth);
}

LanSettingsValues ReadLANSettings(const QString& logName)
{
    LanSettingsValues v;
    v.nick = ReadIni(kSection, kNick, DefaultNick());
    v.port = loadConverted(logName, kPort, QStringLiteral("217"), textToPort);
    v.send = loadConverted(logName, kOptSend, QStringLiteral("1"), textToBool);
    v.receive = loadConverted(logName, kOptReceive, QStringLiteral("1"), textToBool);
    return v;
}

void LoadLANSettings()
{
    const LanSettingsValues v = ReadLANSettings(QStringLiteral("LoadLANSettings"));
    LANNick = v.nick;
    LANPort = v.port;
    LANOptSend = v.send;
    LANOptReceive = v.receive;
}

bool WriteLANSettings(bool send, bool receive, const QString& nick, const QString& port)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    return WriteIni(kSection, kOptSend, flag(send)) &&
           WriteIni(kSection, kOptReceive, flag(receive)) && WriteIni(kSection, kNick, nick) &&
           WriteIni(kSection, kPort, port);
}
