#include "lan/LanSend.h"

#include "broker/BrokerTopics.h"
#include "common/ExtraDestinations.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "lan/BrokerOutbox.h"
#include "lan/LanFormat.h"
#include "platform/Failure.h"
#include "platform/SysInfo.h"
#include "store/LanSettings.h"
#include "trust/InstallationSigner.h"
#include "trust/SignatureCounter.h"
#include "trust/SignatureField.h"

#include <QHostAddress>
#include <QUdpSocket>

QString LocalIP;
QStringList Listeners;

namespace {

constexpr int kConnectTimeoutMs = 2000;
QString g_broadcastTarget;

const QString& everybody()
{
    return g_broadcastTarget.isEmpty() ? kBroadcastAddress : g_broadcastTarget;
}

QHostAddress requireIPv4(const QString& text)
{
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        throw Failure(QStringLiteral("Invalid address: ") + text);
    return address;
}

// Connecting a UDP socket sends nothing; it fixes the destination and lets
// the kernel choose the source address for it.
void connectTo(QUdpSocket& socket, const QHostAddress& host)
{
    socket.connectToHost(host, LANPort);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        throw Failure(socket.errorString());
}

// The datagram as the release before sent it, checked to leave room for the
// signature field.
QByteArray datagramBytes(const QString& text)
{
    const QByteArray bytes = lanBytesFromText(text);
    if (bytes.size() + kSignatureFieldBytes > kMaxDatagramBytes)
        throw Failure(QStringLiteral("Message of %1 bytes is longer than one datagram (%2)")
                          .arg(bytes.size())
                          .arg(kMaxDatagramBytes - kSignatureFieldBytes));
    return bytes;
}

QByteArray signedDatagram(const QString& strData)
{
    return signWithInstallationKey(datagramBytes(LocalIP + kFieldEnd + strData), kCounterBlock);
}

} // namespace

bool WS_LAN_Send(const QString& strData, const QString& HostIP)
{
    return trapped(QStringLiteral("WS_LAN_Send"), [&] {
        if (BrokerTopics::isBrokerSource(HostIP)) {
            if (LocalIP.isEmpty())
                SetLocalIP();
            BrokerOutbox::publishTo(HostIP, signedDatagram(strData));
        } else {
            QUdpSocket socket;
            connectTo(socket, requireIPv4(HostIP));
            LocalIP = socket.localAddress().toString();
            const QByteArray bytes = signedDatagram(strData);
            if (socket.write(bytes) != bytes.size())
                throw Failure(socket.errorString());
            if (HostIP == everybody())
                BrokerOutbox::publishToEverybody(bytes);
        }
        WriteLog(QStringLiteral("SendData: ") + strData, LogInformation);
    });
}

bool checkSendable(const QString& strData)
{
    // The longest sender address a datagram can start with.
    return trapped(QStringLiteral("WS_LAN_Send"),
                   [&] { datagramBytes(QStringLiteral("255.255.255.255") + kFieldEnd + strData); });
}

bool SendLANMsg(const QString& text, const QString& address)
{
    return WS_LAN_Send(text, address);
}

void SetLocalIP()
{
    trapped(QStringLiteral("SetLocalIP"), [] {
        QUdpSocket socket;
        connectTo(socket, QHostAddress(kBroadcastAddress));
        LocalIP = socket.localAddress().toString();
    });
}

void SendACK(const QString& address, qint32 broadcastId)
{
    SendLANMsg(QStringLiteral("ACK\t") + QString::number(broadcastId) + kFieldEnd + LANNick +
                   kFieldEnd,
               address);
}

void SendIAM(const QString& address)
{
    SendLANMsg(QStringLiteral("IAM\t") + LANNick + kFieldEnd, address);
}

void SendWHL()
{
    sendToEverybody(QStringLiteral("WHL\t"));
}

static QString deletionText(qint32 broadcastId)
{
    return QStringLiteral("DEL\t%1\t").arg(broadcastId);
}

bool SendDELMsg(qint32 BrId)
{
    return sendToEverybody(deletionText(BrId));
}

bool SendDELMsgTo(qint32 broadcastId, const QString& address)
{
    return SendLANMsg(deletionText(broadcastId), address);
}

qint32 NewBroadcastId()
{
    const qint32 id = SysInfo::tickCount();
    return id != 0 ? id : 1;
}

void setBroadcastTarget(const QString& address)
{
    g_broadcastTarget = address;
}

bool sendToEverybody(const QString& text)
{
    const bool sent = SendLANMsg(text, everybody());
    sendToExtraAddresses([text](const QString& address) { SendLANMsg(text, address); });
    return sent;
}

bool isAnswerableAddress(const QString& address)
{
    if (BrokerTopics::isBrokerSource(address))
        return true;
    const QHostAddress host(address);
    return host.protocol() == QAbstractSocket::IPv4Protocol && !host.isBroadcast() &&
           !host.isMulticast() && host != QHostAddress(QHostAddress::AnyIPv4) &&
           !isThisMachinesBroadcast(host);
}
