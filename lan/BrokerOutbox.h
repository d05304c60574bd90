#pragma once

#include <QByteArray>
#include <QString>

// Kalvex's sends through the office's broker (broker/BrokerTopics.h): what
// goes to everybody on the LAN goes to the office's topic too, the very
// bytes signed once (a colleague who gets both takes the second as a
// replay); an answer to a colleague met through the broker goes to his
// topic alone, and one to a machine behind a relay to the relay's topic
// for it.
//
// Kalvex publishes on a connection of its own (a clean session, a client id
// of this process), so what it signs is sent from where it is signed,
// whether Tolvane runs or not; the broker's acknowledgement (QoS 1) is
// waited for before Kalvex ends (holdsKalvex), kMaxWaitMs at most while the
// broker cannot be reached, and what it never acknowledged is logged.
namespace BrokerOutbox {

// Nothing when no broker is set.
void publishToEverybody(const QByteArray& bytes);
// To a broker source ("mqtt:<user>", "relay:<relay>:<lanaddr>"); throws Failure when no broker is
// set or the outbox is full.
void publishTo(const QString& source, const QByteArray& bytes);
// Whether Kalvex must stay for the broker's acknowledgements.
bool holdsKalvex();

inline constexpr int kMaxWaitMs = 2 * 60 * 1000;

} // namespace BrokerOutbox
