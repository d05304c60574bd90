#include "tray/BrokerRelay.h"

#include "broker/BrokerLink.h"
#include "broker/BrokerTopics.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/OwnAddresses.h"
#include "trust/SignatureField.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <algorithm>

namespace {

const QString kRelaySource = QStringLiteral("the broker");

void countRelayDrop(const QString& why, const QString& source)
{
    CountForLog(QStringLiteral("Relay: dropped %1 datagrams from %2: ") + why, source);
}

constexpr int kConnectMs = 2000;

// A Windows peer answers the address in a datagram's first field: the
// author's at another site, which it cannot reach. An unsigned datagram,
// which nobody checks byte for byte, names this relay there instead, so the
// answer comes here and is carried back; a signed one goes as it was signed.
QByteArray answerableHere(const QByteArray& bytes, const QHostAddress& relay)
{
    const qsizetype firstFieldEnd = bytes.indexOf('\t');
    if (firstFieldEnd < 0 || splitSignedDatagram(bytes).state != SplitDatagram::Unsigned)
        return bytes;
    return relay.toString().toLatin1() + bytes.mid(firstFieldEnd);
}

QString relayOverRate()
{
    return QStringLiteral("over the relay's rate of %1 a second").arg(BrokerRelay::kPerSecond);
}

} // namespace

bool BrokerRelay::Bucket::take(qint64 nowMs)
{
    tokens = std::min<double>(kBurst, tokens + double(nowMs - atMs) * kPerSecond / 1000.0);
    atMs = nowMs;
    if (tokens < 1.0)
        return false;
    tokens -= 1.0;
    return true;
}

BrokerRelay::BrokerRelay(BrokerLink* link, quint16 lanPort, QObject* parent)
    : QObject(parent), m_link(link), m_port(lanPort), m_socket(new QUdpSocket(this))
{
    m_clock.start();
    WriteLog(QStringLiteral("Relay: carrying between the LAN (UDP port %1) and the broker as %2")
                 .arg(m_port)
                 .arg(m_link->options().user),
             LogInformation);
}

BrokerRelay::~BrokerRelay()
{
    WriteLog(QStringLiteral("Relay: stopped"), LogInformation);
}

bool BrokerRelay::fromLan(const QByteArray& bytes, const QHostAddress& sender)
{
    const qint64 now = m_clock.elapsed();
    // This machine's own: Kalvex publishes its datagrams itself, and what
    // this relay broadcast Kalvex had from the broker.
    if (isOwnAddress(sender))
        return !m_memory.carried(bytes, now);
    const QString address = sender.toString();
    if (m_memory.carried(bytes, now))
        return true;
    if (!m_toBroker.take(now)) {
        countRelayDrop(relayOverRate(), address);
        return true;
    }
    m_memory.carry(bytes, address, now);
    if (!m_link->publish(BrokerTopics::relayedTopic(m_link->options().user, address), bytes))
        countRelayDrop(QStringLiteral("the broker's outbox is full"), address);
    return true;
}

void BrokerRelay::toLan(const QByteArray& bytes)
{
    const qint64 now = m_clock.elapsed();
    if (!admitToLan(bytes, now))
        return;
    // Connecting sends nothing: it tells the address the LAN sees this machine at.
    QUdpSocket probe;
    probe.connectToHost(QHostAddress(QHostAddress::Broadcast), m_port);
    const QByteArray sent =
        probe.waitForConnected(kConnectMs) ? answerableHere(bytes, probe.localAddress()) : bytes;
    // Heard back, the changed bytes are this relay's own too.
    m_memory.carry(sent, QString(), now);
    send(sent, QHostAddress(QHostAddress::Broadcast), QStringLiteral("the LAN"));
}

void BrokerRelay::toLanMachine(const QString& lanAddress, const QByteArray& bytes)
{
    const qint64 now = m_clock.elapsed();
    if (!m_memory.heardFrom(lanAddress, now)) {
        countRelayDrop(QStringLiteral("nothing was carried from that machine lately"),
                       kRelaySource + QStringLiteral(" to ") + lanAddress);
        return;
    }
    if (admitToLan(bytes, now))
        send(bytes, QHostAddress(lanAddress), lanAddress);
}

// Once, within the rate, and remembered as carried.
bool BrokerRelay::admitToLan(const QByteArray& bytes, qint64 nowMs)
{
    if (bytes.size() > kMaxDatagramBytes) {
        countRelayDrop(QStringLiteral("longer than %1 bytes").arg(kMaxDatagramBytes), kRelaySource);
        return false;
    }
    if (m_memory.carried(bytes, nowMs))
        return false;
    if (!m_toLan.take(nowMs)) {
        countRelayDrop(relayOverRate(), kRelaySource);
        return false;
    }
    m_memory.carry(bytes, QString(), nowMs);
    return true;
}

void BrokerRelay::send(const QByteArray& bytes, const QHostAddress& to, const QString& toText)
{
    if (m_socket->writeDatagram(bytes, to, m_port) != bytes.size())
        CountForLog(QStringLiteral("Relay: %1 datagrams not sent to %2: ") +
                        m_socket->errorString(),
                    toText);
}
