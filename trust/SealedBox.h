#pragma once

#include "trust/Keys.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// A sealed box: bytes that only the holder of one key pair can read, from
// an anonymous sender (libsodium's crypto_box_seal, to the recipient's
// Ed25519 key turned into its X25519 form). In printable form (Sodium.h),
// so it rides in a field of a datagram's text.

// What sealing adds to the content, in bytes (before the printable form).
inline constexpr qsizetype kSealBytes = 48;

// The printable length of a sealed box of that many bytes of content.
constexpr qsizetype sealedLength(qsizetype contentBytes)
{
    return ((contentBytes + kSealBytes) * 4 + 2) / 3;
}

// The sealed box of the content for the recipient. Throws Failure, in
// Hebrew, when the key can take no box, or when the box would be longer than
// one datagram (kMaxDatagramBytes).
QByteArray sealFor(QByteArrayView content, const PublicKey& recipient);
// The content of a sealed box for this key pair; nothing when it is not one
// (another recipient's, changed on the way, not printable, too long).
std::optional<QByteArray> openSealed(QByteArrayView sealed, const KeyPair& own);
