#include "store/LanSettings.h"

#include "common/Ini.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "platform/Failure.h"

QString LANNick;
quint16 LANPort = 0;
bool LANOptSend = false;
bool LANOptReceive = false;
LanTrust LANTrust = LanTrust::Mixed;

namespace {

using namespace SettingsKeys;

// The key's value converted; its default, converted, when the stored text
// does not convert.
template <typename Convert>
auto loadConverted(const QString& logName, const QString& key, const QString& defaultText,
                   Convert convert)
{
    const QString text = ReadIni(lanSection, key, defaultText);
    try {
        return convert(text);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("%1: %2=%3: %4").arg(logName, key, text, describe(e)), LogError);
        return convert(defaultText);
    }
}

LanTrust textToTrust(const QString& text)
{
    if (text.compare(trustSigned, Qt::CaseInsensitive) == 0)
        return LanTrust::Signed;
    if (text.compare(trustMixed, Qt::CaseInsensitive) == 0)
        return LanTrust::Mixed;
    throw Failure(QStringLiteral("not \"mixed\" or \"signed\""));
}

} // namespace

LanSettingsValues ReadLANSettings(const QString& logName)
{
    LanSettingsValues v;
    v.nick = ReadNick();
    v.port = loadConverted(logName, port, portDefault, textToPort);
    v.send = loadConverted(logName, optSend, optDefault, textToBool);
    v.receive = loadConverted(logName, optReceive, optDefault, textToBool);
    v.trust = loadConverted(logName, trust, trustMixed, textToTrust);
    return v;
}

void LoadLANSettings()
{
    const LanSettingsValues v = ReadLANSettings(QStringLiteral("LoadLANSettings"));
    LANNick = v.nick;
    LANPort = v.port;
    LANOptSend = v.send;
    LANOptReceive = v.receive;
    LANTrust = v.trust;
}

bool WriteLANSettings(bool send, bool receive, const QString& nick, const QString& port)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    return WriteIni(lanSection, optSend, flag(send)) &&
           WriteIni(lanSection, optReceive, flag(receive)) &&
           WriteIni(lanSection, SettingsKeys::nick, nick) &&
           WriteIni(lanSection, SettingsKeys::port, port);
}

bool WriteLanTrust(LanTrust value)
{
    return WriteIni(lanSection, trust, value == LanTrust::Signed ? trustSigned : trustMixed);
}
