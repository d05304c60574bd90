#include "trust/Keys.h"

#include "trust/Sodium.h"

#include <sodium.h>

static_assert(kPublicKeyBytes == crypto_sign_PUBLICKEYBYTES);
static_assert(kSecretKeyBytes == crypto_sign_SECRETKEYBYTES);
static_assert(kSeedBytes == crypto_sign_SEEDBYTES);
static_assert(kSignatureBytes == crypto_sign_BYTES);

KeyPair KeyPair::generate()
{
    requireSodium();
    KeyPair pair;
    crypto_sign_keypair(pair.m_public.data(), pair.m_secret.data());
    return pair;
}

KeyPair KeyPair::fromSeed(const KeySeed& seed)
{
    requireSodium();
    KeyPair pair;
    crypto_sign_seed_keypair(pair.m_public.data(), pair.m_secret.data(), seed.data());
    return pair;
}

KeyPair::~KeyPair()
{
    sodium_memzero(m_secret.data(), m_secret.size());
}

KeySeed KeyPair::seed() const
{
    KeySeed seed;
    crypto_sign_ed25519_sk_to_seed(seed.data(), m_secret.data());
    return seed;
}

QByteArray publicKeyText(const PublicKey& key)
{
    return printableFromBytes(QByteArrayView(key.data(), key.size()));
}

std::optional<PublicKey> publicKeyFromText(QByteArrayView text)
{
    PublicKey key;
    if (!bytesFromPrintable(text, key))
        return std::nullopt;
    return key;
}

bool isUsableKey(const PublicKey& key)
{
    requireSodium();
    return crypto_core_ed25519_is_valid_point(key.data()) == 1;
}
