#include "tray/LanSwitches.h"

#include "common/Ini.h"
#include "common/SettingsKeys.h"
#include "common/TextConversion.h"
#include "common/Trapped.h"
#include "tray/frmWinSock.h"

namespace modMain {

bool SendFlag = false;
bool ReceiveFlag = false;
QString LanTrouble;

void LANInit()
{
    const auto read = [] {
        using namespace SettingsKeys;
        SendFlag = textToBool(ReadIni(lanSection, optSend, optDefault));
        ReceiveFlag = textToBool(ReadIni(lanSection, optReceive, optDefault));
        // The receiver is bound also when only sending is on.
        if (!SendFlag && !ReceiveFlag)
            return;
        try {
            frmWinSock::load(ReceiveFlag);
        } catch (const PortRefused& refused) {
            LanTrouble = refused.toUser();
            throw;
        }
    };
    LanTrouble.clear();
    if (!trapped(QStringLiteral("LANInit"), read)) {
        SendFlag = false;
        ReceiveFlag = false;
    }
}

} // namespace modMain
