#pragma once

#include <QString>

#include <functional>

// Where the command queue hands a queued text that is no command: a LAN
// datagram, whole and unchanged, with the address it came from (empty when
// not known). The LAN subsystem installs its processing at start-up; until
// then datagrams are dropped.
using LanMessageHandler = std::function<void(const QString& datagram, const QString& source)>;
void setLanMessageHandler(LanMessageHandler handler); // empty: drop again
void ProcessLanMessage(const QString& datagram, const QString& source = QString());
