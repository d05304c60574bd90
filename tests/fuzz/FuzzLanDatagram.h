#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// The whole path of a received datagram, from its bytes: Windows-1255
// decoding, then ProcessLANMsg with every handler, on a real database in a
// temporary program directory. The sender is always a loopback peer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace FuzzLan {
QList<QByteArray> seeds(); // one valid datagram of each kind, after the sender field
// What must hold after any input: received copies are storable, and the
// reminder this installation wrote is untouched but for acknowledgements.
// Gives the first broken rule, or the empty text.
QString brokenInvariant();
} // namespace FuzzLan
