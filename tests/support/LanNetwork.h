#pragma once

#include <QString>
#include <QStringList>

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
    ~LanNetwork();
    LanNetwork(const LanNetwork&) = delete;
    LanNetwork& operator=(const LanNetwork&) = delete;

    static QString unavailableReason(); // empty when this machine can make one

    bool isReady() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // Runs a program inside the host's namespace (E2eOptions::launcher).
    QStringList launcher(int host) const { return {"ip", "netns", "exec", hostName(host)}; }
    static QString address(int host) { return QStringLiteral("198.18.0.%1").arg(host + 1); }
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
    // The bridge carries nothing, broadcasts neither, between this host and the other
    // isolated ones; hosts not isolated still reach it (a broker both use).
    bool isolate(int host);

private:
    QString hostName(int host) const { return m_prefix + QLatin1Char(char('a' + host)); }
    bool bindInHost(int host, QUdpSocket& socket, const QHostAddress& address, quint16 port) const;
    bool ip(const QStringList& args);

    QString m_prefix;
    int m_hosts;
    QString m_error;
};

// For a test's initTestCase: skips the test where this machine cannot make a LAN, else makes
// one of `hosts` hosts into `net` (a std::unique_ptr<LanNetwork>) and fails unless it is up.
#define KV_MAKE_LAN_NETWORK(net, hosts)                                                            \
    do {                                                                                           \
        const QString unavailable = LanNetwork::unavailableReason();                               \
        if (!unavailable.isEmpty())                                                                \
            QSKIP(qPrintable(unavailable));                                                        \
        net = std::make_unique<LanNetwork>(hosts);                                                 \
        QVERIFY2(net->isReady(), qPrintable(net->error()));                                        \
    } while (false)
