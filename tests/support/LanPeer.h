#pragma once

#include "store/LanSettings.h"
#include "trust/ReplayGuard.h"
#include "trust/SignatureCheck.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

// An "UPD" as a peer sends it, field 0 from: a one-time reminder due 31/12/2099 09:00, details
// "detail", by author to recipients ("ALL" or a name list).
inline QByteArray updateDatagram(const QByteArray& from, qint32 id, const QByteArray& author,
                                 const QByteArray& caption = "caption",
                                 const QByteArray& recipients = "ALL")
{
    return from + "\tUPD\t" + recipients + "\t" + QByteArray::number(id) + "\t" + caption +
           "\t311220990900\t0\t0\tdetail\tTrue\t0\t1\tFalse\t0\t0\t0\t311220990900\tTrue\t" +
           author + "\t";
}

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
