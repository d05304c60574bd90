#pragma once

#include "store/LanSettings.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

// The other installation at 127.0.0.2 (not one of ours); LANPort points every answer here.
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
    bool silent() { return !m_socket.hasPendingDatagrams(); } // loopback delivers at once

private:
    QUdpSocket m_socket;
};
