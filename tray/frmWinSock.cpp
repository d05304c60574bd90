#include "tray/frmWinSock.h"

#include "common/Ini.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "common/TextConversion.h"
#include "platform/Failure.h"
#include "platform/SocketDrops.h"
#include "platform/WallClockWatch.h"
#include "platform/ui/Named.h"
#include "tray/BrokerReceiver.h"
#include "tray/BrokerRelay.h"
#include "tray/LanAnnounce.h"
#include "tray/LanHandOver.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <memory>

namespace {
std::unique_ptr<frmWinSock> g_instance;
constexpr int kReceiveBufferBytes = 8 * 1024 * 1024;
} // namespace

frmWinSock::frmWinSock()
    : Winsock1(named(new QUdpSocket(this), QStringLiteral("Winsock1"))),
      m_handOver(new LanHandOver(this)), m_dropsLook(new QTimer(this))
{
    setObjectName(QStringLiteral("frmWinSock"));
    connect(Winsock1, &QUdpSocket::readyRead, this, &frmWinSock::Winsock1_DataArrival);
    connect(m_dropsLook, &QTimer::timeout, this, &frmWinSock::countSystemDrops);
    // A resume moves the wall clock on: whatever was shared meanwhile is asked for again.
    connect(new WallClockWatch(this), &WallClockWatch::jumped, this, [this] {
        if (m_announces)
            LanAnnounce(port());
    });
}

void frmWinSock::load(bool receiving)
{
    if (g_instance)
        return;
    using namespace SettingsKeys;
    const quint16 port = textToPort(ReadIni(lanSection, SettingsKeys::port, portDefault));
    std::unique_ptr<frmWinSock> form(new frmWinSock);
    try {
        form->bindPort(port);
    } catch (const PortRefused&) {
        // The broker reaches this machine however the LAN port is held.
        form->m_broker = new BrokerReceiver(form->m_handOver, 0, form.get());
        if (form->m_broker->linked())
            g_instance = std::move(form);
        throw;
    }
    form->m_announces = receiving;
    form->m_broker = new BrokerReceiver(form->m_handOver, port, form.get());
    g_instance = std::move(form);
    if (receiving)
        LanAnnounce(port);
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

// What the user is told when the receiver cannot bind its port.
QString frmWinSock::whyNotBound(QAbstractSocket::SocketError error, quint16 port)
{
    const QString why =
        error == QAbstractSocket::AddressInUseError
            ? QStringLiteral("הפורט %1 תפוס: תוכנה אחרת במחשב הזה כבר מקבלת בו, אולי התזכורון של "
                             "משתמש אחר המחובר למחשב.")
        : error == QAbstractSocket::SocketAccessError
            ? QStringLiteral("אין לתזכורון הרשאה לפורט %1 (פורט מתחת ל-1024 דורש הרשאה שנותנת "
                             "ההתקנה).")
            : QStringLiteral("לא ניתן להאזין בפורט %1.");
    return QStringLiteral("תזכורות מהרשת המקומית לא יתקבלו במחשב הזה: ") + why.arg(port) +
           QStringLiteral(" התזכורות שלך יקפצו כרגיל.");
}

// Not shared: a port another program holds is a failure, not a second listener.
void frmWinSock::bindPort(quint16 port)
{
    if (!Winsock1->bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress))
        throw PortRefused(QStringLiteral("UDP port %1: %2").arg(port).arg(Winsock1->errorString()),
                          whyNotBound(Winsock1->error(), port));
    // Room for a burst while Kalvex is busy; the system caps what it grants.
    Winsock1->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    // Errors of the bound socket; a failed bind is the load's failure.
    connect(Winsock1, &QUdpSocket::errorOccurred, this, &frmWinSock::Winsock1_Error);
    m_systemDrops = udpSocketDrops(Winsock1->socketDescriptor());
    m_dropsLook->start(kDropsLookMs);
}

// What is left after the slice is read at the socket's next notice, which the
// last read armed. A continuation queued outside readyRead instead could leave
// a burst's end unread until another datagram came.
void frmWinSock::Winsock1_DataArrival()
{
    LogFolding folding;
    QElapsedTimer reading;
    reading.start();
    while (Winsock1->hasPendingDatagrams()) {
        if (reading.elapsed() >= kReadSliceMs)
            return;
        const QNetworkDatagram datagram = Winsock1->receiveDatagram();
        if (BrokerRelay* relay = m_broker ? m_broker->relay() : nullptr;
            relay && !relay->fromLan(datagram.data(), datagram.senderAddress()))
            continue;
        WriteLog(QStringLiteral("DataArrival: ") + datagramExcerpt(datagram.data()),
                 LogInformation);
        m_handOver->take(datagram.data(), datagram.senderAddress().toString());
    }
}

void frmWinSock::Winsock1_Error(QAbstractSocket::SocketError)
{
    LogFolding folding;
    WriteLog(QStringLiteral("WinSock: ") + Winsock1->errorString(), LogError);
}

void frmWinSock::countSystemDrops()
{
    const std::optional<quint64> drops = udpSocketDrops(Winsock1->socketDescriptor());
    if (drops && m_systemDrops && *drops > *m_systemDrops)
        CountForLog(QStringLiteral("LAN: the system dropped %1 datagrams for %2: the receive "
                                   "buffer was full"),
                    QStringLiteral("UDP port %1").arg(port()), qint64(*drops - *m_systemDrops));
    if (drops)
        m_systemDrops = drops;
}
