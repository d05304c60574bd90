#pragma once

#include "trust/Keys.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The signature field: this release appends it to every datagram it sends,
// after the last field of the datagram's kind and, like every field,
// followed by one TAB. Taking it off leaves the datagram byte for byte as
// the release before sent it, which is also what a Windows peer reads (it
// ignores a trailing field).
//
// The field is "KVSIG1:" followed by exactly 150 characters of base64url
// without padding (A-Z a-z 0-9 - _) of 112 bytes:
//   bytes  0- 7  time: seconds since 1970 UTC, signed, big-endian
//   bytes  8-15  counter: unsigned, big-endian, strictly increasing per sender
//   bytes 16-47  the sender's Ed25519 public key
//   bytes 48-111 the Ed25519 signature over signedContent() below
// A last field that does not start with "KVSIG1:" is no signature field
// (no nickname, caption or number of the Windows release holds that tag, a
// colon and 150 base64url characters); one that starts with it but is not
// exactly that form is malformed.
inline constexpr char kSignatureTag[] = "KVSIG1:";
inline constexpr qsizetype kSignatureTagLength = sizeof(kSignatureTag) - 1;
inline constexpr qsizetype kSignatureFieldDataBytes = 8 + 8 + kPublicKeyBytes + kSignatureBytes;
inline constexpr qsizetype kSignatureFieldChars =
    kSignatureTagLength + (kSignatureFieldDataBytes * 4 + 2) / 3;
// What signing adds to a datagram: the field and its TAB.
inline constexpr qsizetype kSignatureFieldBytes = kSignatureFieldChars + 1;

struct SignatureField
{
    qint64 time = 0;
    quint64 counter = 0;
    PublicKey key{};
    Signature signature{};
};

// The field's text, without its TAB.
QByteArray signatureFieldText(const SignatureField& field);

// What the signature covers: the text "KVSIG1" (so nothing else this system
// may one day sign can pass for a datagram's signature), the time and the
// counter as in the field, then the datagram's bytes before the field, its
// last TAB included.
QByteArray signedContent(QByteArrayView unsignedBytes, qint64 time, quint64 counter);

// A received datagram taken apart at its signature field.
struct SplitDatagram
{
    enum State {
        Unsigned,  // no signature field: the datagram is as the release before sends it
        Signed,    // a signature field, read (not yet checked)
        Malformed, // a last field with the tag that is not a signature field
        Oversized, // longer than any datagram (kMaxDatagramBytes): not looked into
    };
    State state = Unsigned;
    // Byte for byte the datagram before its signature field; the whole
    // datagram when unsigned; empty when oversized.
    QByteArray unsignedBytes;
    SignatureField field; // when Signed
};

SplitDatagram splitSignedDatagram(const QByteArray& bytes);
// The datagram's text as Tolvane hands it on (lanTextFromBytes), in its bytes
// again (lanBytesFromText); a damaged byte that became U+FFFD comes back as
// "?", so its signature no longer matches. A text with a signature field
// and a character no datagram can carry is malformed.
SplitDatagram splitSignedDatagram(const QString& text);
// The text of the datagram before its signature field (the whole text when
// unsigned), for the split made of that text.
QString unsignedText(const QString& text, const SplitDatagram& split);
