#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <span>

// libsodium made ready, once per process; every function of this folder
// calls it before it uses the library. Throws Failure when it cannot be.
void requireSodium();

// Bytes as libsodium takes them.
inline const unsigned char* sodiumBytes(QByteArrayView bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.data());
}
inline unsigned char* sodiumBytes(QByteArray& bytes)
{
    return reinterpret_cast<unsigned char*>(bytes.data());
}

// The printable form of bytes on the wire and in files: base64url without
// padding (A-Z a-z 0-9 - _), which holds no TAB, CR, LF or blank.
QByteArray printableFromBytes(QByteArrayView bytes);
// The bytes of a printable form; nothing unless the text is exactly such a
// form (a foreign character, padding or stray bits in the last character
// are refused, so each bytes have one form only).
std::optional<QByteArray> bytesFromPrintable(QByteArrayView text);
// The same into a buffer of the size expected, leaving no copy elsewhere (for
// secrets); false when the text is not exactly the form of that many bytes.
bool bytesFromPrintable(QByteArrayView text, std::span<unsigned char> out);
// The characters of the printable form of that many bytes.
constexpr qsizetype printableLength(qsizetype bytes)
{
    return (bytes * 4 + 2) / 3;
}
