#include "tray/frmWinSock.h"

#include "common/Ini.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "common/TextConversion.h"
#include "platform/Failure.h"
#include "platform/ui/Named.h"
#include "tray/modMain.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <memory>

namespace {
std::unique_ptr<frmWinSock> g_instance;
constexpr int kReceiveBufferBytes = 8 * 1024 * 1024;
} // namespace

frmWinSock::frmWinSock() : Winsock1(named(new QUdpSocket(this), QStringLiteral("Winsock1")))
{
    setObjectName(QStringLiteral("frmWinSock"));
    connect(Winsock1, &QUdpSocket::readyRead, this, &frmWinSock::Winsock1_DataArrival);
}

void frmWinSock::load()
{
    if (g_instance)
        return;
    using namespace SettingsKeys;
    const quint16 port = textToPort(ReadIni(lanSection, SettingsKeys::port, portDefault));
    std::unique_ptr<frmWinSock> form(new frmWinSock);
    form->bindPort(port);
    g_instance = std::move(form);
}

void frmWinSock::unload()
{
    g_instance.reset();
}

frmWinSock* frmWinSock::instance()
{
    return g_instance.get();
}

quint16 frmWinSock::port() const
{
    return Winsock1->localPort();
}

// Not shared: a port another program holds is a failure, not a second listener.
void frmWinSock::bindPort(quint16 port)
{
    if (!Winsock1->bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress))
        throw Failure(QStringLiteral("UDP port %1: %2").arg(port).arg(Winsock1->errorString()));
    // Room for a burst while Kalvex is busy; the system caps what it grants.
    Winsock1->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    // Errors of the bound socket; a failed bind is the load's failure.
    connect(Winsock1, &QUdpSocket::errorOccurred, this, &frmWinSock::Winsock1_Error);
}

void frmWinSock::Winsock1_DataArrival()
{
    while (Winsock1->hasPendingDatagrams()) {
        const QString text = lanTextFromBytes(Winsock1->receiveDatagram().data());
        modMain::MsgProc(text);
        WriteLog(QStringLiteral("DataArrival: ") + text, LogInformation);
    }
}

void frmWinSock::Winsock1_Error(QAbstractSocket::SocketError)
{
    WriteLog(QStringLiteral("WinSock: ") + Winsock1->errorString(), LogError);
}
