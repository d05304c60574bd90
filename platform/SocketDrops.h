#pragma once

#include <QtGlobal>

#include <optional>

// Datagrams the system dropped for a bound UDP socket because its receive
// buffer was full, counted since the socket was made (Linux: the "drops"
// column of /proc/net/udp for the socket's inode). Nothing when not known.
std::optional<quint64> udpSocketDrops(qintptr socketDescriptor);
