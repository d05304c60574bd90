#pragma once

#include "tests/support/E2eSession.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <QTest>

#include <memory>

class QHostAddress;
class QUdpSocket;

// A LAN of its own (needs root): one network namespace per host, each with
// eth0 on a bridge in a namespace of its own, 198.18.0.1, .2, ... /24 and the
// default route there, so datagrams to 255.255.255.255 reach the other hosts
// and nothing else. Removed again by the destructor.
class LanNetwork
{
public:
    explicit LanNetwork(int hosts);
    // Networks of their own instead, joined by a router namespace that forwards, directed
    // broadcasts too (bc_forwarding): host h is routedAddress(h) in routedSubnet(h), its
    // default route through the router. A broadcast to 255.255.255.255 stays in its subnet.
    struct Routed
    {
    };
    LanNetwork(int hosts, Routed);
    ~LanNetwork();
    LanNetwork(const LanNetwork&) = delete;
    LanNetwork& operator=(const LanNetwork&) = delete;

    static QString unavailableReason(); // empty when this machine can make one

    bool isReady() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // Runs a program inside the host's namespace (E2eOptions::launcher).
    QStringList launcher(int host) const { return {"ip", "netns", "exec", hostName(host)}; }
    static QString address(int host) { return QStringLiteral("198.18.0.%1").arg(host + 1); }
    static QString routedAddress(int host) { return QStringLiteral("10.77.%1.2").arg(host + 1); }
    static QString routedSubnet(int host) { return QStringLiteral("10.77.%1.0/24").arg(host + 1); }
    // The host's /etc/hosts (its programs see it through the launcher) and no name server
    // but its own loopback, so no lookup leaves its namespace. Removed by the destructor.
    bool setHostsFile(int host, const QByteArray& hosts);
    // Binds the socket to the host's address and the port inside the host's namespace, so the
    // test sends and receives there as that host would; the test itself stays where it is.
    bool bindIn(int host, QUdpSocket& socket, quint16 port = 0) const;
    // The host may send as if it were the other host: that one's address, held where no
    // other host can see it (no ARP answers for it), to bind to with bindAs.
    bool impersonate(int host, int other);
    bool bindAs(int host, int other, QUdpSocket& socket) const;
    // Binds the socket to every address of the host on the port, so it also receives what the
    // other hosts send to everybody (255.255.255.255), as a listening installation does.
    bool listenIn(int host, QUdpSocket& socket, quint16 port) const;
    // The bytes that wait unread in the host's UDP sockets on the port (their receive queues
    // in /proc/net/udp); -1 when none is bound there or the table cannot be read.
    qint64 udpUnread(int host, quint16 port) const;
    // The bridge carries nothing, broadcasts neither, between this host and the other
    // isolated ones; hosts not isolated still reach it (a broker both use).
    bool isolate(int host);
    // Takes the host off the bridge: a cable of its own joins it to the other host alone, which
    // it reaches by that host's address. What it sends to everybody reaches that host only.
    bool cableTo(int host, int other);

private:
    QString hostName(int host) const { return m_prefix + QLatin1Char(char('a' + host)); }
    bool bindInHost(int host, QUdpSocket& socket, const QHostAddress& address, quint16 port) const;
    bool ip(const QStringList& args);
    bool run(const QList<QStringList>& commands);
    QString etcDir(int host) const { return QStringLiteral("/etc/netns/") + hostName(host); }

    QString m_prefix;
    QString m_hub; // the namespace of the bridge or of the router
    int m_hosts;
    QString m_error;
};

// An installation of the real programs on a host of the net: a session launched there with
// the options given, its nickname set and its Kalvex registered; check isReady().
std::unique_ptr<E2eSession> installationOn(const LanNetwork& net, int host, const QString& nick,
                                           E2eOptions options = {});
// Options of an installation that answers prompts "Ignore", whose monitor wakes every 100 ms
// and announces itself to everybody once started.
E2eOptions announcingInstallation();
// A new reminder shared through the installation's scripting interface, as "שלח ברשת" sends
// it, due 31/12/2099 09:00; its network identity.
qint32 shareByScript(E2eSession& s, const QString& caption, const QString& audience);
// A field of the installation's received copy of a shared reminder; null when it holds none.
QVariant copyField(E2eSession& s, qint32 broadcastId, const QString& field);
// The ends of the installations' logs and the prompts they showed, for a wait that failed.
QString logsOf(std::initializer_list<const E2eSession*> sessions, qsizetype chars = 3000);

// For a test's initTestCase: skips the test where this machine cannot make a LAN, else makes
// one (of `hosts` hosts, and Routed{} for routed subnets) into `net` (a
// std::unique_ptr<LanNetwork>) and fails unless it is up.
#define KV_MAKE_LAN_NETWORK(net, ...)                                                              \
    do {                                                                                           \
        const QString unavailable = LanNetwork::unavailableReason();                               \
        if (!unavailable.isEmpty())                                                                \
            QSKIP(qPrintable(unavailable));                                                        \
        net = std::make_unique<LanNetwork>(__VA_ARGS__);                                           \
        QVERIFY2(net->isReady(), qPrintable(net->error()));                                        \
    } while (false)
