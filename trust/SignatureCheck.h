#pragma once

#include "trust/Keys.h"
#include "trust/ReplayGuard.h"
#include "trust/SignatureField.h"

#include <QByteArray>
#include <QString>

// What the signature field of a received datagram says about its sender.
enum class SignatureVerdict {
    Unsigned,     // no signature field: as the release before (or the Windows release) sends
    Valid,        // signed by the key in the field, fresh, not seen before
    Malformed,    // a last field with the signature tag that is not a signature field
    Oversized,    // longer than any datagram
    BadSignature, // the signature does not match the datagram, its time and counter
    BadKey,       // the key is no usable Ed25519 public key
    Stale,        // its time lies outside the window around now
    Replayed,     // its counter was taken already (or is too old to tell)
};

struct SignatureCheck
{
    SignatureVerdict verdict = SignatureVerdict::Unsigned;
    // The datagram before its signature field, byte for byte (the whole one
    // when unsigned).
    QByteArray unsignedBytes;
    // When signed, read from the field; trust them only when Valid.
    PublicKey key{};
    qint64 time = 0;
    quint64 counter = 0;
};

// Checks a datagram split at its signature field against the clock's now
// (Clock::secondsSinceEpoch) and the guard, which remembers it when valid.
// Stale and replayed datagrams are told before the key and the signature
// are checked (the key only when the guard does not know it yet); a forged
// datagram never changes the guard.
SignatureCheck checkSignature(const SplitDatagram& split, ReplayGuard& guard);
SignatureCheck checkDatagram(const QByteArray& bytes, ReplayGuard& guard);
// The text as Tolvane hands it on; see splitSignedDatagram(QString) and unsignedText().
SignatureCheck checkDatagram(const QString& text, ReplayGuard& guard);

// Why a datagram was dropped, for the log's summary "dropped N datagrams
// from X: <reason>".
QString verdictReason(SignatureVerdict verdict);
