#include "broker/BrokerSettings.h"

#include "common/Ini.h"
#include "common/SettingsKeys.h"

using namespace SettingsKeys;

BrokerSettings readBrokerSettings()
{
    BrokerSettings s;
    s.address = ReadIni(brokerSection, brokerAddress, QString()).trimmed();
    s.user = ReadIni(brokerSection, brokerUser, QString()).trimmed();
    s.caFile = ReadIni(brokerSection, brokerCaFile, QString()).trimmed();
    s.relay = ReadIni(brokerSection, brokerRelay, QStringLiteral("0")) == QLatin1String("1");
    return s;
}

bool writeBrokerSettings(const BrokerSettings& s)
{
    bool written = WriteIni(brokerSection, brokerAddress, s.address);
    written = WriteIni(brokerSection, brokerUser, s.user) && written;
    written = WriteIni(brokerSection, brokerCaFile, s.caFile) && written;
    return WriteIni(brokerSection, brokerRelay,
                    s.relay ? QStringLiteral("1") : QStringLiteral("0")) &&
           written;
}
