#include "LanNetwork.h"

#include <QProcess>

#include <unistd.h>

namespace {
constexpr int kIpTimeoutMs = 10000;
}

LanNetwork::LanNetwork(int hosts) : m_prefix(QStringLiteral("kv%1").arg(::getpid())), m_hosts(hosts)
{
    const QString bridge = m_prefix + QStringLiteral("br");
    if (!ip({"netns", "add", bridge}) ||
        !ip({"-n", bridge, "link", "add", "br0", "type", "bridge"}) ||
        !ip({"-n", bridge, "link", "set", "br0", "up"}))
        return;
    for (int h = 0; h < hosts; ++h) {
        const QString host = hostName(h);
        const QString port = QStringLiteral("port%1").arg(h);
        if (!ip({"netns", "add", host}) ||
            !ip({"-n", bridge, "link", "add", port, "type", "veth", "peer", "name", "eth0", "netns",
                 host}) ||
            !ip({"-n", bridge, "link", "set", port, "master", "br0", "up"}) ||
            !ip({"-n", host, "addr", "add", address(h) + QStringLiteral("/24"), "dev", "eth0"}) ||
            !ip({"-n", host, "link", "set", "eth0", "up"}) ||
            !ip({"-n", host, "link", "set", "lo", "up"}) ||
            !ip({"-n", host, "route", "add", "default", "dev", "eth0"}))
            return;
    }
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
    QProcess ip;
    ip.start(QStringLiteral("ip"), {"-V"});
    if (!ip.waitForFinished(kIpTimeoutMs) || ip.exitCode() != 0)
        return QStringLiteral("the ip command (iproute2) is missing");
    return QString();
}

QString LanNetwork::address(int host) const
{
    return QStringLiteral("198.18.0.%1").arg(host + 1);
}

QStringList LanNetwork::launcher(int host) const
{
    return {QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("exec"), hostName(host)};
}

QString LanNetwork::hostName(int host) const
{
    return m_prefix + QLatin1Char(char('a' + host));
}

bool LanNetwork::ip(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("ip"), args);
    if (process.waitForFinished(kIpTimeoutMs) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    m_error = QStringLiteral("ip ") + args.join(QLatin1Char(' ')) + QStringLiteral(": ") +
              QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return false;
}
