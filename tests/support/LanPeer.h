#pragma once

#include "store/LanSettings.h"
#include "trust/ReplayGuard.h"
#include "trust/SignatureCheck.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

// The other installation at 127.0.0.2 (not one of ours); LANPort points every answer here.
// What it receives is checked to be signed, validly, by one key: next() gives
// it as the release before sent it (without the signature field).
class LanPeer
{
public:
    static inline const QString kAddress = QStringLiteral("127.0.0.2");

    LanPeer()
    {
        QVERIFY(m_socket.bind(QHostAddress(kAddress), 0));
        LANPort = m_socket.localPort();
    }
    QByteArray nextSigned()
    {
        if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(2000))
            return {};
        return m_socket.receiveDatagram().data();
    }
    QByteArray next()
    {
        const QByteArray bytes = nextSigned();
        if (bytes.isEmpty())
            return {};
        const SignatureCheck check = checkDatagram(bytes, m_guard);
        if (check.verdict != SignatureVerdict::Valid || (m_signer && *m_signer != check.key))
            return "not signed validly by one key: " + bytes;
        m_signer = check.key;
        return check.unsignedBytes;
    }
    bool silent() { return !m_socket.hasPendingDatagrams(); } // loopback delivers at once

private:
    QUdpSocket m_socket;
    ReplayGuard m_guard;
    std::optional<PublicKey> m_signer;
};
