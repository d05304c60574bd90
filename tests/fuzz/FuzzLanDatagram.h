#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// The whole path of a received datagram, from its bytes: the receiver's
// Windows-1255 decoding, then ProcessLANMsg with every handler, on a real
// database in a temporary program directory. The sender field is always a
// loopback peer's, so every answer stays on this machine.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace FuzzLan {

// One valid datagram of each kind, after the sender field.
QList<QByteArray> seeds();
// What must hold after any input: received copies are storable, and the
// reminder this installation wrote is untouched but for acknowledgements.
// Gives the first broken rule, or the empty text.
QString brokenInvariant();
int storedCopies();

} // namespace FuzzLan
