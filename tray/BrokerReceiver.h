#pragma once

#include "broker/BrokerLink.h"

#include <QObject>

class BrokerRelay;
namespace BrokerTopics {
struct Message;
}
class LanHandOver;

// Tolvane's link to the office's broker, with the session the broker keeps
// while this computer is off: a stable client id from the installation's
// key, QoS 1 subscriptions to the office's topic and its own
// (BrokerTopics). What arrives is logged as the LAN's datagrams are and
// goes through the same LanHandOver (size, per-colleague rates, queue
// bounds), its source "mqtt:<user>" or, carried by a relay,
// "relay:<relay>:<lanaddr>"; its own messages come back and are passed
// over. With [Broker] Relay it also carries between the LAN on lanPort and
// the broker (BrokerRelay). The state goes to the tray's tip (BrokerState)
// and, at each change, to the log.
class BrokerReceiver : public QObject
{
    Q_OBJECT
public:
    // lanPort 0: no LAN port is bound here, and nothing is relayed.
    BrokerReceiver(LanHandOver* handOver, quint16 lanPort, QObject* parent);
    ~BrokerReceiver() override;

    // Whether a broker is set and its link started.
    bool linked() const { return m_link != nullptr; }

    // nullptr unless this installation relays.
    BrokerRelay* relay() const { return m_relay; }

private:
    void connectWith(const QString& password, const QString& error);
    void take(const QString& topic, const QByteArray& payload);
    void carry(const BrokerTopics::Message& message, const QByteArray& payload);
    void showState(BrokerLink::State state, const QString& why);

    LanHandOver* m_handOver;
    BrokerLink* m_link = nullptr;
    BrokerRelay* m_relay = nullptr;
};
