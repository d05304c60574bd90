#pragma once

#include "LanSettings.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

// The other installation, on loopback at 127.0.0.2 (not one of this
// machine's interface addresses, so its datagrams are not taken for our
// own). LANPort is set to its port, so every answer Kalvex sends lands here.
class LanPeer
{
public:
    static inline const QString kAddress = QStringLiteral("127.0.0.2");

    LanPeer()
    {
        QVERIFY(m_socket.bind(QHostAddress(kAddress), 0));
        LANPort = m_socket.localPort();
    }
    QByteArray next()
    {
        if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(2000))
            return {};
        return m_socket.receiveDatagram().data();
    }
    // Loopback delivers a datagram before its send returns.
    bool silent() { return !m_socket.hasPendingDatagrams(); }

private:
    QUdpSocket m_socket;
};
