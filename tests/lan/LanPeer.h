#pragma once

#include "LanSettings.h"

#include <QHostAddress>
#include <QTest>
#include <QUdpSocket>

// The other installation, played on loopback at 127.0.0.2 (an address of
// the loopback network that is not one of this machine's interface
// addresses, so its datagrams are not taken for our own). LANPort is set to
// its port, so every answer Kalvex sends lands here.
class LanPeer
{
public:
    static inline const QString kAddress = QStringLiteral("127.0.0.2");

    LanPeer()
    {
        QVERIFY(m_socket.bind(QHostAddress(kAddress), 0));
        LANPort = m_socket.localPort();
    }
    // The next datagram's bytes; empty when none arrives in time.
    QByteArray next(int timeoutMs = 2000)
    {
        if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(timeoutMs))
            return {};
        QByteArray bytes(int(m_socket.pendingDatagramSize()), '\0');
        m_socket.readDatagram(bytes.data(), bytes.size());
        return bytes;
    }
    // Loopback delivers a datagram before its send returns.
    bool silent() { return !m_socket.hasPendingDatagrams(); }

private:
    QUdpSocket m_socket;
};
