#pragma once

#include "trust/Keys.h"
#include "trust/SealedBox.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// Content for several recipients at once: encrypted once
// (XChaCha20-Poly1305, under a random key used for nothing else), and that
// key sealed to each recipient (SealedBox.h). All parts printable.
struct SealedShare
{
    QByteArray content;     // the nonce and the encrypted content
    QList<QByteArray> keys; // the content's key sealed to each recipient, in their order
};

// The recipients one share may have.
inline constexpr int kMaxShareRecipients = 200;
// The characters of one sealed key (a sealed box of a 32-byte key).
inline constexpr qsizetype kShareKeyBytes = 32;
inline constexpr qsizetype kSealedShareKeyLength = sealedLength(kShareKeyBytes);

// The characters of a share's parts together, without separators.
qsizetype sealedShareLength(qsizetype contentBytes, qsizetype recipients);

// Throws Failure, in Hebrew, for no recipient or more than
// kMaxShareRecipients, a key that can take no box, or parts longer together
// than one datagram (kMaxDatagramBytes, counting one separator per part).
SealedShare sealForMany(QByteArrayView content, const QList<PublicKey>& recipients);
// The content, when one of the sealed keys is for this key pair and the
// content is as sealed; nothing otherwise (also for more keys than a share
// may have, or parts longer than a datagram).
std::optional<QByteArray> openShare(const SealedShare& share, const KeyPair& own);
