#pragma once

#include "trust/DatagramSigner.h"

#include <QTemporaryDir>

// Another installation's key, signing datagrams as this release sends them.
class SigningPeer
{
public:
    SigningPeer() : m_signer(KeyPair::generate(), m_dir.filePath(QStringLiteral("counter"))) {}

    QByteArray sign(const QByteArray& unsignedBytes) { return m_signer.sign(unsignedBytes); }
    const PublicKey& key() const { return m_signer.keys().publicKey(); }
    const KeyPair& keys() const { return m_signer.keys(); }

private:
    QTemporaryDir m_dir;
    DatagramSigner m_signer;
};
