#pragma once

#include <QString>

// Where this installation meets colleagues that no broadcast reaches: an MQTT
// broker, section "Broker" of the settings file. An empty address: no broker.
struct BrokerSettings
{
    QString address;    // "mqtt://host[:port]" or "mqtts://host[:port]"
    QString user;       // the user name the broker knows this installation by
    QString caFile;     // certificates that sign the broker's; empty: the system's
    bool relay = false; // carries between this LAN and the broker

    bool enabled() const { return !address.isEmpty(); }
};

// Reads the section; a missing key reads as empty or false. Never fails.
BrokerSettings readBrokerSettings();
// Writes the section; false when a write failed (WriteIni logs it).
bool writeBrokerSettings(const BrokerSettings& settings);
