#include "tests/support/LanNetwork.h"

#include <QProcess>
#include <QUdpSocket>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

LanNetwork::LanNetwork(int hosts) : m_prefix(QStringLiteral("kv%1").arg(::getpid())), m_hosts(hosts)
{
    const QString br = m_prefix + QStringLiteral("br");
    QList<QStringList> commands = {{"netns", "add", br},
                                   {"-n", br, "link", "add", "br0", "type", "bridge"},
                                   {"-n", br, "link", "set", "br0", "up"}};
    for (int h = 0; h < hosts; ++h) {
        const QString host = hostName(h), port = QStringLiteral("port%1").arg(h);
        commands +=
            {{"netns", "add", host},
             {"-n", br, "link", "add", port, "type", "veth", "peer", "name", "eth0", "netns", host},
             {"-n", br, "link", "set", port, "master", "br0", "up"},
             {"-n", host, "addr", "add", address(h) + QStringLiteral("/24"), "dev", "eth0"},
             {"-n", host, "link", "set", "eth0", "up"},
             {"-n", host, "link", "set", "lo", "up"},
             {"-n", host, "route", "add", "default", "dev", "eth0"}};
    }
    for (const QStringList& command : commands)
        if (!ip(command))
            return;
}

LanNetwork::~LanNetwork()
{
    for (int h = 0; h < m_hosts; ++h)
        QProcess::execute(QStringLiteral("ip"), {"netns", "del", hostName(h)});
    QProcess::execute(QStringLiteral("ip"), {"netns", "del", m_prefix + QStringLiteral("br")});
}

QString LanNetwork::unavailableReason()
{
    if (::geteuid() != 0)
        return QStringLiteral("network namespaces need root");
    if (QProcess::execute(QStringLiteral("ip"), {"-V"}) != 0)
        return QStringLiteral("the ip command (iproute2) is missing");
    return QString();
}

bool LanNetwork::ip(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("ip"), args);
    if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    m_error =
        "ip " + args.join(' ') + ": " + QString::fromLocal8Bit(process.readAllStandardError());
    return false;
}

bool LanNetwork::bindIn(int host, QUdpSocket& socket, quint16 port) const
{
    return bindInHost(host, socket, QHostAddress(address(host)), port);
}

bool LanNetwork::impersonate(int host, int other)
{
    return ip({"-n", hostName(host), "addr", "add", address(other) + QStringLiteral("/32"), "dev",
               "lo"}) &&
           ip({"netns", "exec", hostName(host), "sysctl", "-qw", "net.ipv4.conf.all.arp_ignore=1"});
}

bool LanNetwork::isolate(int host)
{
    return ip({"-n", m_prefix + QStringLiteral("br"), "link", "set", "dev",
               QStringLiteral("port%1").arg(host), "type", "bridge_slave", "isolated", "on"});
}

bool LanNetwork::bindAs(int host, int other, QUdpSocket& socket) const
{
    return bindInHost(host, socket, QHostAddress(address(other)), 0);
}

bool LanNetwork::listenIn(int host, QUdpSocket& socket, quint16 port) const
{
    return bindInHost(host, socket, QHostAddress(QHostAddress::AnyIPv4), port);
}

bool LanNetwork::bindInHost(int host, QUdpSocket& socket, const QHostAddress& address,
                            quint16 port) const
{
    const int here = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const int there =
        ::open(QStringLiteral("/run/netns/%1").arg(hostName(host)).toLocal8Bit().constData(),
               O_RDONLY | O_CLOEXEC);
    bool bound = false;
    // Only this thread moves, and only while the socket is made.
    if (here >= 0 && there >= 0 && ::setns(there, CLONE_NEWNET) == 0) {
        bound = socket.bind(address, port);
        bound = ::setns(here, CLONE_NEWNET) == 0 && bound;
    }
    for (int fd : {here, there})
        if (fd >= 0)
            ::close(fd);
    return bound;
}
