#include "trust/SealedShare.h"

#include "common/LanText.h"
#include "platform/Failure.h"
#include "trust/SealedBox.h"
#include "trust/Sodium.h"

#include <sodium.h>

namespace {

constexpr qsizetype kKeyBytes = kShareKeyBytes;
static_assert(kKeyBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
constexpr qsizetype kNonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr qsizetype kTagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
// Binds the encrypted content to its use here.
constexpr char kPurpose[] = "KVSHARE1";

qsizetype contentLength(qsizetype contentBytes)
{
    return printableLength(kNonceBytes + contentBytes + kTagBytes);
}

// The parts and a separator after each.
qsizetype wireLength(qsizetype contentText, qsizetype recipients)
{
    return contentText + 1 + recipients * (kSealedShareKeyLength + 1);
}

QByteArray encrypt(QByteArrayView content, const unsigned char* key)
{
    QByteArray sealed(kNonceBytes + content.size() + kTagBytes, Qt::Uninitialized);
    unsigned char* nonce = sodiumBytes(sealed);
    randombytes_buf(nonce, kNonceBytes);
    crypto_aead_xchacha20poly1305_ietf_encrypt(nonce + kNonceBytes, nullptr, sodiumBytes(content),
                                               content.size(), sodiumBytes(kPurpose),
                                               sizeof(kPurpose) - 1, nullptr, nonce, key);
    return printableFromBytes(sealed);
}

std::optional<QByteArray> decrypt(QByteArrayView contentText, const unsigned char* key)
{
    const std::optional<QByteArray> sealed = bytesFromPrintable(contentText);
    if (!sealed || sealed->size() < kNonceBytes + kTagBytes)
        return std::nullopt;
    QByteArray content(sealed->size() - kNonceBytes - kTagBytes, Qt::Uninitialized);
    const unsigned char* nonce = sodiumBytes(*sealed);
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            sodiumBytes(content), nullptr, nullptr, nonce + kNonceBytes,
            sealed->size() - kNonceBytes, sodiumBytes(kPurpose), sizeof(kPurpose) - 1, nonce,
            key) != 0)
        return std::nullopt;
    return content;
}

} // namespace

qsizetype sealedShareLength(qsizetype contentBytes, qsizetype recipients)
{
    return contentLength(contentBytes) + recipients * kSealedShareKeyLength;
}

SealedShare sealForMany(QByteArrayView content, const QList<PublicKey>& recipients)
{
    requireSodium();
    if (recipients.isEmpty() || recipients.size() > kMaxShareRecipients)
        throw Failure(
            QStringLiteral("ניתן להצפין לנמען אחד עד %1 נמענים").arg(kMaxShareRecipients));
    if (wireLength(contentLength(content.size()), recipients.size()) > kMaxDatagramBytes)
        throw Failure(QStringLiteral("תוכן של %1 בתים ל-%2 נמענים ארוך מכדי להצפין אותו בהודעה "
                                     "אחת ברשת")
                          .arg(content.size())
                          .arg(recipients.size()));
    unsigned char key[kKeyBytes];
    crypto_aead_xchacha20poly1305_ietf_keygen(key);
    SealedShare share;
    try {
        for (const PublicKey& recipient : recipients)
            share.keys << sealFor(QByteArrayView(key, kKeyBytes), recipient);
        share.content = encrypt(content, key);
    } catch (...) {
        sodium_memzero(key, sizeof(key));
        throw;
    }
    sodium_memzero(key, sizeof(key));
    return share;
}

std::optional<QByteArray> openShare(const SealedShare& share, const KeyPair& own)
{
    requireSodium();
    if (share.keys.size() > kMaxShareRecipients ||
        wireLength(share.content.size(), share.keys.size()) > kMaxDatagramBytes)
        return std::nullopt;
    for (const QByteArray& sealedKey : share.keys) {
        if (sealedKey.size() != kSealedShareKeyLength)
            continue;
        std::optional<QByteArray> key = openSealed(sealedKey, own);
        if (!key || key->size() != kKeyBytes)
            continue;
        std::optional<QByteArray> content = decrypt(share.content, sodiumBytes(*key));
        sodium_memzero(key->data(), key->size());
        if (content)
            return content;
    }
    return std::nullopt;
}
