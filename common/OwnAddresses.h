#pragma once

class QHostAddress;

// Whether the address is one of this machine's, as the system listed them
// a few seconds ago at most (asked again then, not for every datagram).
bool isOwnAddress(const QHostAddress& address);
