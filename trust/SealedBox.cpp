#include "trust/SealedBox.h"

#include "common/LanText.h"
#include "platform/Failure.h"
#include "trust/Sodium.h"

#include <sodium.h>

static_assert(kSealBytes == crypto_box_SEALBYTES);

QByteArray sealFor(QByteArrayView content, const PublicKey& recipient)
{
    requireSodium();
    if (sealedLength(content.size()) > kMaxDatagramBytes)
        throw Failure(QStringLiteral("תוכן של %1 בתים ארוך מכדי להצפין אותו בהודעה אחת ברשת")
                          .arg(content.size()));
    unsigned char boxKey[crypto_box_PUBLICKEYBYTES];
    if (crypto_sign_ed25519_pk_to_curve25519(boxKey, recipient.data()) != 0)
        throw Failure(QStringLiteral("המפתח של הנמען אינו מפתח תקין להצפנה"));
    QByteArray box(content.size() + kSealBytes, Qt::Uninitialized);
    crypto_box_seal(sodiumBytes(box), sodiumBytes(content), content.size(), boxKey);
    return printableFromBytes(box);
}

std::optional<QByteArray> openSealed(QByteArrayView sealed, const KeyPair& own)
{
    requireSodium();
    if (sealed.size() > kMaxDatagramBytes)
        return std::nullopt;
    const std::optional<QByteArray> box = bytesFromPrintable(sealed);
    if (!box || box->size() < kSealBytes)
        return std::nullopt;
    unsigned char boxPublic[crypto_box_PUBLICKEYBYTES];
    unsigned char boxSecret[crypto_box_SECRETKEYBYTES];
    if (crypto_sign_ed25519_pk_to_curve25519(boxPublic, own.publicKey().data()) != 0)
        return std::nullopt;
    crypto_sign_ed25519_sk_to_curve25519(boxSecret, own.secretKey());
    QByteArray content(box->size() - kSealBytes, Qt::Uninitialized);
    const bool opened = crypto_box_seal_open(sodiumBytes(content), sodiumBytes(*box), box->size(),
                                             boxPublic, boxSecret) == 0;
    sodium_memzero(boxSecret, sizeof(boxSecret));
    if (!opened)
        return std::nullopt;
    return content;
}
