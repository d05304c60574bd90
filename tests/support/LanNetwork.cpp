#include "tests/support/LanNetwork.h"

#include "tests/support/KalvexProxy.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUdpSocket>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

LanNetwork::LanNetwork(int hosts)
    : m_prefix(QStringLiteral("kv%1").arg(::getpid())), m_hub(m_prefix + QStringLiteral("br")),
      m_hosts(hosts)
{
    const QString& br = m_hub;
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
    run(commands);
}

LanNetwork::LanNetwork(int hosts, Routed)
    : m_prefix(QStringLiteral("kv%1").arg(::getpid())), m_hub(m_prefix + QStringLiteral("rt")),
      m_hosts(hosts)
{
    const QString& rt = m_hub;
    const auto sysctl = [&](const QString& setting) {
        return QStringList{"netns", "exec", rt, "sysctl", "-qw", setting};
    };
    QList<QStringList> commands = {{"netns", "add", rt},
                                   sysctl("net.ipv4.ip_forward=1"),
                                   sysctl("net.ipv4.conf.all.bc_forwarding=1"),
                                   sysctl("net.ipv4.conf.default.bc_forwarding=1")};
    for (int h = 0; h < hosts; ++h) {
        const QString host = hostName(h), port = QStringLiteral("port%1").arg(h);
        const QString gateway = QStringLiteral("10.77.%1.1").arg(h + 1);
        commands +=
            {{"netns", "add", host},
             {"-n", rt, "link", "add", port, "type", "veth", "peer", "name", "eth0", "netns", host},
             {"-n", rt, "addr", "add", gateway + "/24", "brd", "+", "dev", port},
             {"-n", rt, "link", "set", port, "up"},
             sysctl("net.ipv4.conf." + port + ".bc_forwarding=1"),
             {"-n", host, "addr", "add", routedAddress(h) + "/24", "brd", "+", "dev", "eth0"},
             {"-n", host, "link", "set", "eth0", "up"},
             {"-n", host, "link", "set", "lo", "up"},
             {"-n", host, "route", "add", "default", "via", gateway}};
    }
    run(commands);
}

LanNetwork::~LanNetwork()
{
    for (int h = 0; h < m_hosts; ++h) {
        QProcess::execute(QStringLiteral("ip"), {"netns", "del", hostName(h)});
        QDir(etcDir(h)).removeRecursively();
    }
    QProcess::execute(QStringLiteral("ip"), {"netns", "del", m_hub});
}

bool LanNetwork::run(const QList<QStringList>& commands)
{
    for (const QStringList& command : commands)
        if (!ip(command))
            return false;
    return true;
}

bool LanNetwork::setHostsFile(int host, const QByteArray& hosts)
{
    const QString dir = etcDir(host);
    QFile file(dir + QStringLiteral("/hosts")), resolver(dir + QStringLiteral("/resolv.conf"));
    return QDir().mkpath(dir) && file.open(QIODevice::WriteOnly) &&
           file.write("127.0.0.1 localhost\n" + hosts) > 0 && file.flush() &&
           resolver.open(QIODevice::WriteOnly) && resolver.write("nameserver 127.0.0.1\n") > 0 &&
           resolver.flush();
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

qint64 LanNetwork::udpUnread(int host, quint16 port) const
{
    QProcess cat;
    cat.start(QStringLiteral("ip"), launcher(host).mid(1) + QStringList{"cat", "/proc/net/udp"});
    if (!cat.waitForFinished(10000) || cat.exitCode() != 0)
        return -1;
    // "sl local_address rem_address st tx_queue:rx_queue ...", in hexadecimal.
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    qint64 unread = -1;
    for (const QByteArray& line : cat.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 4 && fields[1].endsWith(local))
            unread = std::max<qint64>(unread, 0) +
                     fields[4].mid(fields[4].indexOf(':') + 1).toLongLong(nullptr, 16);
    }
    return unread;
}

std::unique_ptr<E2eSession> installationOn(const LanNetwork& net, int host, const QString& nick,
                                           E2eOptions options)
{
    options.launcher = net.launcher(host);
    auto s = std::make_unique<E2eSession>(std::move(options));
    if (s->isReady()) {
        s->setIniValue(QStringLiteral("LAN_Settings"), QStringLiteral("Nick"), nick);
        s->registerKalvex();
    }
    return s;
}

E2eOptions announcingInstallation()
{
    return {.environment = {{QStringLiteral("KV_PROMPT_ANSWER"), QStringLiteral("Ignore")},
                            {QStringLiteral("KV_TRAY_WAIT_MS"), QStringLiteral("100")},
                            {QStringLiteral("KV_ANNOUNCE_TO"), QStringLiteral("255.255.255.255")}}};
}

qint32 shareByScript(E2eSession& s, const QString& caption, const QString& audience)
{
    const qint32 id =
        kalvexOn<KalvexKVClassInterface>(s.bus())
            ->AddReminder(caption, QStringLiteral("2099-12-31T09:00"), QString(), 0, 0, audience)
            .value();
    return s.scalarSql(QStringLiteral("SELECT BroadcastId FROM Main_tbl WHERE RMain_Id = ?"), {id})
        .toInt();
}

QVariant copyField(E2eSession& s, qint32 broadcastId, const QString& field)
{
    return s.scalarSql(QStringLiteral("SELECT %1 FROM Main_tbl WHERE BroadcastId = ? AND "
                                      "IAMAuthor = 0")
                           .arg(field),
                       {broadcastId});
}

QString logsOf(std::initializer_list<const E2eSession*> sessions, qsizetype chars)
{
    QString text;
    for (const E2eSession* s : sessions)
        text += QStringLiteral("\n") + s->logText().right(chars) +
                s->logText(QStringLiteral("Tolvane.log")).right(chars) +
                s->promptLines().join(QStringLiteral(" | "));
    return text;
}

bool LanNetwork::cableTo(int host, int other)
{
    const QString here = hostName(host), there = hostName(other);
    const QString end = QStringLiteral("cable%1").arg(host);
    return run(
        {{"-n", here, "link", "set", "eth0", "down"},
         {"-n", here, "addr", "flush", "dev", "eth0"},
         {"-n", here, "link", "add", "cable", "type", "veth", "peer", "name", end, "netns", there},
         {"-n", here, "addr", "add", address(host), "peer", address(other), "dev", "cable"},
         {"-n", here, "link", "set", "cable", "up"},
         {"-n", here, "route", "add", "default", "dev", "cable"},
         {"-n", there, "addr", "add", address(other), "peer", address(host), "dev", end},
         {"-n", there, "link", "set", end, "up"}});
}
