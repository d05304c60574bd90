#pragma once

#include "trust/Keys.h"
#include "trust/SignatureCounter.h"

#include <QByteArray>

// Signs the datagrams this installation sends with its key pair, each with
// the clock's time and the next counter.
class DatagramSigner
{
public:
    // counterPath: the counter's file (SignatureCounter), beside the key's;
    // counterBlock: the counters reserved at a time.
    DatagramSigner(const KeyPair& keys, const QString& counterPath,
                   quint64 counterBlock = kCounterBlock)
        : m_keys(keys), m_counter(counterPath, counterBlock)
    {}

    // The datagram with its signature field appended (SignatureField.h).
    // unsignedBytes is the datagram as the release before sends it, its last
    // field's TAB included. Throws Failure when it does not end with a TAB,
    // when the signed datagram would be longer than kMaxDatagramBytes, or
    // when the counter cannot be written down.
    QByteArray sign(const QByteArray& unsignedBytes);

    const KeyPair& keys() const { return m_keys; }

private:
    KeyPair m_keys;
    SignatureCounter m_counter;
};
