#pragma once

#include <QString>

#include <optional>

// The broker's address as the settings hold it: "mqtt://host[:port]" (port
// 1883 by default) or "mqtts://host[:port]" (TLS, port 8883 by default).
struct BrokerAddress
{
    QString host;
    int port = 0;
    bool tls = false;
};

// Nothing when the text is no such address.
std::optional<BrokerAddress> parseBrokerAddress(const QString& text);
// Why the text is no broker address, in Hebrew.
QString whyNotBrokerAddress();
