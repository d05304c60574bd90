#include "trust/Fingerprint.h"

#include "trust/Sodium.h"

#include <QStringList>

#include <sodium.h>

#include <array>

namespace {

constexpr int kGroups = 5;
constexpr int kGroupBytes = 5; // 40 bits, of which 5 digits keep about 16.6
constexpr int kIdBytes = 8;
static_assert(kGroups * kGroupBytes <= crypto_generichash_BYTES);

// A hash of the key under a purpose of its own, so a fingerprint and an id
// of one key share nothing.
std::array<unsigned char, crypto_generichash_BYTES> keyHash(const PublicKey& key,
                                                            const char* purpose)
{
    requireSodium();
    std::array<unsigned char, crypto_generichash_BYTES> hash;
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, hash.size());
    crypto_generichash_update(&state, sodiumBytes(purpose), qstrlen(purpose));
    crypto_generichash_update(&state, key.data(), key.size());
    crypto_generichash_final(&state, hash.data(), hash.size());
    return hash;
}

} // namespace

QString keyFingerprint(const PublicKey& key)
{
    const auto hash = keyHash(key, "KVFP1");
    QStringList groups;
    for (int g = 0; g < kGroups; ++g) {
        quint64 value = 0;
        for (int b = 0; b < kGroupBytes; ++b)
            value = value << 8 | hash[g * kGroupBytes + b];
        groups << QStringLiteral("%1").arg(value % 100000, 5, 10, QLatin1Char('0'));
    }
    return groups.join(QLatin1Char(' '));
}

QString keyId(const PublicKey& key)
{
    const auto hash = keyHash(key, "KVID1");
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(hash.data()), kIdBytes).toHex());
}
