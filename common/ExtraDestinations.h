#pragma once

#include <QString>

class QHostAddress;

#include <functional>

// Sends what goes to everybody to the extra addresses too (ExtraAddresses.h):
// calls send once with each destination of the stored list. Addresses and
// subnets are sent to at once. A host name is looked up without blocking
// (its answer kept for kCacheMinutes) and sent to when the answer comes, in
// this thread's event loop; a name that does not resolve is logged once as
// "ExtraAddresses: <description>" and skipped, the others are still sent to.
// A destination that is one of this machine's broadcast addresses is skipped:
// the LAN's broadcast already reached it.
void sendToExtraAddresses(const std::function<void(const QString& address)>& send);

// Whether the address is the broadcast address of one of this machine's networks.
bool isThisMachinesBroadcast(const QHostAddress& address);

namespace ExtraDestinations {
inline constexpr int kCacheMinutes = 5;
// Sends held for one name while it is looked up; more are dropped.
inline constexpr int kMaxWaitingSends = 64;
// The addresses of one name sent to.
inline constexpr int kMaxAddressesPerName = 4;
} // namespace ExtraDestinations
