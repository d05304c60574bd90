// Prints what the broker's links cost beside their targets, on a mosquitto of
// its own on loopback: one share to 200 installations (each its own link, as
// Tolvane holds it), and 1,000 shares kept for an installation that was off,
// delivered when it connects; and what a relay carries from its LAN to an
// installation met through the broker. Asserts nothing.
#include "broker/BrokerLink.h"
#include "broker/BrokerTopics.h"
#include "tray/BrokerRelay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kInstallations = 200;
constexpr int kKeptShares = 1000;

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// mosquitto on loopback, anonymous, keeping up to 5,000 messages a session.
class Broker
{
public:
    bool start()
    {
        m_port = freePort();
        QFile conf(m_dir.filePath("mosquitto.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\n"
                                  "max_queued_messages 5000\nmax_inflight_messages 0\n")
                       .arg(m_port)
                       .toUtf8());
        conf.close();
        m_process.start(QStringLiteral("mosquitto"), {"-c", conf.fileName()});
        return waitFor(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, m_port);
                return probe.waitForConnected(100);
            },
            10000);
    }
    ~Broker()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    BrokerAddress address() const { return {QStringLiteral("127.0.0.1"), m_port, false}; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

std::unique_ptr<BrokerLink> newLink(const Broker& broker, const QString& user, bool persistent)
{
    auto link = std::make_unique<BrokerLink>(BrokerLink::Options{
        broker.address(), QString(), QString(), QStringLiteral("bench-") + user, persistent,
        persistent ? BrokerTopics::subscriptions(user) : QStringList()});
    link->start(QString());
    return link;
}

bool connected(const std::vector<std::unique_ptr<BrokerLink>>& links)
{
    return std::all_of(links.begin(), links.end(), [](const auto& link) {
        return link->state() == BrokerLink::State::Connected;
    });
}

// A signed update's size.
QByteArray share(int number)
{
    return QByteArray::number(number) + QByteArray(360, 'x');
}

void oneShareToAll(const Broker& broker)
{
    std::vector<std::unique_ptr<BrokerLink>> links;
    std::vector<qint64> latencies;
    QElapsedTimer clock;
    for (int i = 0; i < kInstallations; ++i) {
        links.push_back(newLink(broker, QStringLiteral("u%1").arg(i), true));
        QObject::connect(links.back().get(), &BrokerLink::received, [&, link = links.back().get()] {
            latencies.push_back(clock.nsecsElapsed() / 1000);
            link->doneWithReceived();
        });
    }
    auto author = newLink(broker, QStringLiteral("author"), false);
    links.push_back(std::move(author));
    if (!waitFor([&] { return connected(links); }, 60000)) {
        std::printf("one share to %d installations: not all connected\n", kInstallations);
        return;
    }
    clock.start();
    links.back()->publish(BrokerTopics::everybodyTopic(QStringLiteral("author")), share(1));
    const bool all = waitFor([&] { return int(latencies.size()) == kInstallations; }, 30000);
    std::sort(latencies.begin(), latencies.end());
    const qint64 median = latencies.empty() ? -1 : latencies[latencies.size() / 2];
    std::printf("one share to %d installations: %zu received%s, latency median %.1f ms, max %.1f "
                "ms (target: median under 200 ms)\n",
                kInstallations, latencies.size(), all ? "" : " (not all)", median / 1000.0,
                latencies.empty() ? -1.0 : latencies.back() / 1000.0);
}

void keptForAnInstallationThatWasOff(const Broker& broker)
{
    const QString away = QStringLiteral("away");
    auto link = newLink(broker, away, true);
    waitFor([&] { return link->state() == BrokerLink::State::Connected; }, 10000);
    link.reset(); // off: the broker keeps its session
    auto author = newLink(broker, QStringLiteral("author2"), false);
    for (int i = 0; i < kKeptShares; ++i)
        author->publish(BrokerTopics::everybodyTopic(QStringLiteral("author2")), share(i));
    if (!waitFor([&] { return author->unacknowledged() == 0; }, 60000)) {
        std::printf("%d kept shares: the broker did not take them all\n", kKeptShares);
        return;
    }
    std::vector<int> order;
    QElapsedTimer clock;
    clock.start();
    link = newLink(broker, away, true);
    QObject::connect(link.get(), &BrokerLink::received, [&](const QString&, const QByteArray& p) {
        order.push_back(p.left(p.indexOf('x')).toInt());
        link->doneWithReceived();
    });
    const bool all = waitFor([&] { return int(order.size()) == kKeptShares; }, 60000);
    const qint64 ms = clock.elapsed();
    std::printf("%d shares kept for an installation that was off: %zu delivered in %lld ms, %s "
                "(target: all, in order, under 5 s)\n",
                kKeptShares, order.size(), static_cast<long long>(ms),
                all && std::is_sorted(order.begin(), order.end()) ? "in order" : "NOT in order");
}

// A relay's LAN hears 1,000 datagrams at once from one machine (played here:
// nothing goes on the network); what it carries reaches another installation.
void relayedFromTheLan(const Broker& broker)
{
    // The relay publishes under its user name, as Tolvane's link does.
    auto relayLink = std::make_unique<BrokerLink>(BrokerLink::Options{broker.address(),
                                                                      QStringLiteral("relay"),
                                                                      QString(),
                                                                      QStringLiteral("bench-relay"),
                                                                      true,
                                                                      {}});
    relayLink->start(QString());
    auto receiver = newLink(broker, QStringLiteral("far"), true);
    int received = 0;
    QObject::connect(receiver.get(), &BrokerLink::received, [&] {
        ++received;
        receiver->doneWithReceived();
    });
    const auto isConnected = [](const auto& link) {
        return link->state() == BrokerLink::State::Connected;
    };
    if (!waitFor([&] { return isConnected(relayLink) && isConnected(receiver); }, 10000)) {
        std::printf("relay: not connected\n");
        return;
    }
    BrokerRelay relay(relayLink.get(), 217, nullptr);
    const QHostAddress machine(QStringLiteral("198.51.100.7"));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kKeptShares; ++i)
        relay.fromLan(share(i), machine);
    const qint64 offeredMs = clock.elapsed();
    const int expected = std::min(kKeptShares, BrokerRelay::kBurst);
    const bool all = waitFor([&] { return received >= expected; }, 30000);
    std::printf("relay: %d LAN datagrams at once taken in %lld ms; %d carried (its burst of %d, "
                "the rest over its rate of %d a second), the last received after %lld ms%s\n",
                kKeptShares, static_cast<long long>(offeredMs), received, BrokerRelay::kBurst,
                BrokerRelay::kPerSecond, static_cast<long long>(clock.elapsed()),
                all ? "" : " (not all)");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Broker broker;
    if (!broker.start()) {
        std::printf("mosquitto did not start\n");
        return 1;
    }
    oneShareToAll(broker);
    keptForAnInstallationThatWasOff(broker);
    relayedFromTheLan(broker);
    return 0;
}
