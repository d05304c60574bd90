#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

// Ed25519 keys: an installation signs with its secret key; a colleague is
// known by the public key.
inline constexpr int kPublicKeyBytes = 32;
inline constexpr int kSecretKeyBytes = 64;
inline constexpr int kSeedBytes = 32;
inline constexpr int kSignatureBytes = 64;

using PublicKey = std::array<unsigned char, kPublicKeyBytes>;
using Signature = std::array<unsigned char, kSignatureBytes>;
using KeySeed = std::array<unsigned char, kSeedBytes>;

// An installation's key pair. Its secret part is wiped from memory when the
// object goes.
class KeyPair
{
public:
    static KeyPair generate();
    // The key pair that a seed gives, always the same.
    static KeyPair fromSeed(const KeySeed& seed);

    KeyPair(const KeyPair& other) = default;
    KeyPair& operator=(const KeyPair& other) = default;
    ~KeyPair();

    const PublicKey& publicKey() const { return m_public; }
    // libsodium's secret key: the seed, then the public key.
    const unsigned char* secretKey() const { return m_secret.data(); }
    // The seed the pair is made from (wipe the copy when done).
    KeySeed seed() const;

private:
    KeyPair() = default;

    PublicKey m_public{};
    std::array<unsigned char, kSecretKeyBytes> m_secret{};
};

// A public key as printable text (43 characters, as in a signature field)
// and back; nothing for a text that is not exactly 32 bytes' printable form.
QByteArray publicKeyText(const PublicKey& key);
std::optional<PublicKey> publicKeyFromText(QByteArrayView text);

// Whether the key is a point libsodium can check signatures with and seal
// boxes to (on the curve, in its main subgroup, not of small order).
bool isUsableKey(const PublicKey& key);
