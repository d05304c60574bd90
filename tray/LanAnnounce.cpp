#include "tray/LanAnnounce.h"

#include "common/ExtraDestinations.h"
#include "common/LanNick.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "trust/InstallationSigner.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace {
QString g_target = QStringLiteral("255.255.255.255");
constexpr int kConnectTimeoutMs = 2000;

void announceTo(const QString& address, quint16 port)
{
    trapped(QStringLiteral("LanAnnounce"), [&] {
        // Connecting sends nothing: the kernel picks the source address that
        // goes in field 0, as every sender of the LAN does.
        QUdpSocket socket;
        socket.connectToHost(QHostAddress(address), port);
        if (!socket.waitForConnected(kConnectTimeoutMs))
            throw Failure(socket.errorString());
        const QString message = QStringLiteral("IAM\t") + ReadNick() + QLatin1Char('\t');
        const QString datagram = socket.localAddress().toString() + QLatin1Char('\t') + message;
        // Counters one at a time: Kalvex signs with the same key meanwhile.
        const QByteArray bytes = signWithInstallationKey(lanBytesFromText(datagram), 1);
        if (socket.write(bytes) != bytes.size())
            throw Failure(socket.errorString());
        WriteLog(QStringLiteral("SendData: ") + message, LogInformation);
    });
}

} // namespace

void LanAnnounce(quint16 port)
{
    if (g_target.isEmpty())
        return;
    announceTo(g_target, port);
    sendToExtraAddresses([port](const QString& address) { announceTo(address, port); });
}

void setAnnounceTarget(const QString& address)
{
    g_target = address;
}
