#pragma once

#include <QString>

#include <functional>

// Where the command queue hands a queued text that is no command: a LAN
// datagram, whole and unchanged. The LAN subsystem installs its processing
// at start-up; until then datagrams are dropped.
using LanMessageHandler = std::function<void(const QString& datagram)>;
void setLanMessageHandler(LanMessageHandler handler); // empty: drop again
void ProcessLanMessage(const QString& datagram);
