#include "trust/Sodium.h"

#include "platform/Failure.h"

#include <sodium.h>

#include <algorithm>

void requireSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw Failure(QStringLiteral("ספריית ההצפנה libsodium אינה זמינה"));
}

namespace {

constexpr int kVariant = sodium_base64_VARIANT_URLSAFE_NO_PADDING;

// libsodium 1.0.18 reads a byte above 127 as a character of the alphabet
// (0xDC as "_"), which would give a second form of the same bytes.
bool onlyAlphabet(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

} // namespace

QByteArray printableFromBytes(QByteArrayView bytes)
{
    requireSodium();
    QByteArray text(sodium_base64_ENCODED_LEN(bytes.size(), kVariant), Qt::Uninitialized);
    sodium_bin2base64(text.data(), text.size(),
                      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), kVariant);
    text.chop(1); // the terminating NUL
    return text;
}

bool bytesFromPrintable(QByteArrayView text, std::span<unsigned char> out)
{
    requireSodium();
    size_t length = 0;
    return text.size() == printableLength(qsizetype(out.size())) && onlyAlphabet(text) &&
           sodium_base642bin(out.data(), out.size(), text.data(), text.size(), nullptr, &length,
                             nullptr, kVariant) == 0 &&
           length == out.size();
}

std::optional<QByteArray> bytesFromPrintable(QByteArrayView text)
{
    QByteArray bytes(text.size() * 3 / 4, Qt::Uninitialized);
    if (!bytesFromPrintable(
            text, std::span(reinterpret_cast<unsigned char*>(bytes.data()), size_t(bytes.size()))))
        return std::nullopt;
    return bytes;
}
