#include "common/ExtraDestinations.h"

#include "common/ExtraAddresses.h"
#include "common/Log.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSet>

#include <chrono>
#include <memory>

using namespace ExtraDestinations;

namespace {

using Send = std::function<void(const QString& address)>;
constexpr std::chrono::minutes kFreshFor(kCacheMinutes);
constexpr std::chrono::minutes kRetryAfter(1); // a name that did not resolve
constexpr int kMaxNamesKept = 2 * ExtraAddresses::kMaxEntries;

bool isSendable(const QHostAddress& address)
{
    return address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
           !address.isMulticast() && address != QHostAddress(QHostAddress::AnyIPv4);
}

// The names' answers, kept a few minutes; the sends that wait for one.
class Resolver : public QObject
{
public:
    static Resolver& instance()
    {
        static Resolver* resolver = new Resolver;
        return *resolver;
    }

    void sendTo(const QString& name, const Send& send)
    {
        if (const auto known = m_answers.constFind(name);
            known != m_answers.cend() && !known->fresh.hasExpired()) {
            for (const QHostAddress& address : known->addresses)
                send(address.toString());
            return;
        }
        QList<Send>& waiting = m_waiting[name];
        if (waiting.size() < kMaxWaitingSends)
            waiting << send;
        if (waiting.size() == 1)
            QHostInfo::lookupHost(name, this,
                                  [this, name](const QHostInfo& info) { answered(name, info); });
    }

private:
    struct Answer
    {
        QList<QHostAddress> addresses;
        QDeadlineTimer fresh;
    };

    void answered(const QString& name, const QHostInfo& info)
    {
        Answer answer;
        for (const QHostAddress& address : info.addresses())
            if (isSendable(address) && answer.addresses.size() < kMaxAddressesPerName)
                answer.addresses << address;
        answer.fresh.setRemainingTime(answer.addresses.isEmpty() ? kRetryAfter : kFreshFor);
        tellOnce(name, info, answer.addresses.isEmpty());
        if (m_answers.size() >= kMaxNamesKept)
            m_answers.clear();
        m_answers.insert(name, answer);
        const QList<Send> waiting = m_waiting.take(name);
        for (const Send& send : waiting)
            for (const QHostAddress& address : answer.addresses)
                send(address.toString());
    }

    // A name that does not resolve is told once, until it resolves again.
    void tellOnce(const QString& name, const QHostInfo& info, bool failed)
    {
        if (!failed) {
            m_failing.remove(name);
            return;
        }
        if (m_failing.contains(name) || m_failing.size() >= kMaxNamesKept)
            return;
        m_failing.insert(name);
        const QString why = info.error() == QHostInfo::NoError
                                ? QStringLiteral("no IPv4 address of another machine")
                                : info.errorString();
        WriteLog(QStringLiteral("ExtraAddresses: %1 not sent to: %2").arg(name, why), LogError);
    }

    QHash<QString, Answer> m_answers;
    QHash<QString, QList<Send>> m_waiting;
    QSet<QString> m_failing;
};

} // namespace

bool isThisMachinesBroadcast(const QHostAddress& address)
{
    for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry& entry : nic.addressEntries())
            if (entry.broadcast() == address)
                return true;
    return false;
}

void sendToExtraAddresses(const std::function<void(const QString& address)>& send)
{
    const QList<ExtraAddresses::Entry> entries = ExtraAddresses::stored();
    if (entries.isEmpty())
        return;
    // Each destination once, though two entries lead to it.
    auto sent = std::make_shared<QSet<QString>>();
    const Send once = [send, sent](const QString& address) {
        if (sent->contains(address) || isThisMachinesBroadcast(QHostAddress(address)))
            return;
        sent->insert(address);
        send(address);
    };
    for (const ExtraAddresses::Entry& entry : entries) {
        if (entry.hostName.isEmpty())
            once(entry.destination.toString());
        else
            Resolver::instance().sendTo(entry.hostName, once);
    }
}
