#pragma once

#include "tray/RelayMemory.h"

#include <QElapsedTimer>
#include <QObject>

class BrokerLink;
class QHostAddress;
class QUdpSocket;

// Carries between this LAN and the broker ([Broker] Relay), so the machines
// of this segment that know no broker (the Windows release's) reach the
// other sites, and are reached from them:
// - a datagram the LAN receiver read from another machine is published, the
//   bytes unchanged, on the relay topic for that machine (BrokerTopics);
// - what another installation or relay published for everybody is broadcast
//   on the LAN port, the same bytes (an unsigned one naming this relay as
//   its sender's address, where a Windows peer sends its answer);
// - an answer on this relay's "via" topic is sent to its machine, only if
//   something from that machine was carried lately: no broker user makes
//   the relay send to any address it likes.
// Each datagram is carried once (RelayMemory), which also stops loops: what
// this relay broadcast and hears back is neither carried again nor handed
// to Kalvex a second time. Each direction is held to kPerSecond datagrams
// (bursts of kBurst); what is over it is dropped and counted in the log's
// summary, as are the other drops ("Relay: dropped ...").
class BrokerRelay : public QObject
{
    Q_OBJECT
public:
    BrokerRelay(BrokerLink* link, quint16 lanPort, QObject* parent);
    ~BrokerRelay() override;

    // A datagram the LAN receiver read, carried when another machine sent
    // it; false when it is this relay's own broadcast heard back.
    bool fromLan(const QByteArray& bytes, const QHostAddress& sender);
    // A message for everybody that another installation published.
    void toLan(const QByteArray& bytes);
    // An answer to the machine behind this relay.
    void toLanMachine(const QString& lanAddress, const QByteArray& bytes);

    static constexpr int kPerSecond = 50;
    static constexpr int kBurst = 200;

private:
    struct Bucket
    {
        double tokens = kBurst;
        qint64 atMs = 0;
        bool take(qint64 nowMs);
    };
    bool admitToLan(const QByteArray& bytes, qint64 nowMs);
    void send(const QByteArray& bytes, const QHostAddress& to, const QString& toText);

    BrokerLink* m_link;
    quint16 m_port;
    QUdpSocket* m_socket;
    RelayMemory m_memory;
    Bucket m_toBroker;
    Bucket m_toLan;
    QElapsedTimer m_clock;
};
