#include "lan/BrokerOutbox.h"

#include "broker/BrokerAddress.h"
#include "broker/BrokerLink.h"
#include "broker/BrokerPassword.h"
#include "broker/BrokerSettings.h"
#include "broker/BrokerTopics.h"
#include "common/Log.h"
#include "platform/Failure.h"
#include "trust/Fingerprint.h"
#include "trust/InstallationSigner.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>

namespace BrokerOutbox {

namespace {

struct Outbox
{
    std::unique_ptr<BrokerLink> link;
    BrokerSettings settings;
    QElapsedTimer waiting; // since the outbox was last empty
};

Outbox& outbox()
{
    static Outbox box;
    return box;
}

bool sameSettings(const BrokerSettings& a, const BrokerSettings& b)
{
    return a.address == b.address && a.user == b.user && a.caFile == b.caFile;
}

std::unique_ptr<BrokerLink> newLink(const BrokerSettings& settings)
{
    const std::optional<BrokerAddress> address = parseBrokerAddress(settings.address);
    if (!address)
        throw Failure(whyNotBrokerAddress());
    if (!BrokerTopics::isTopicUser(settings.user))
        throw Failure(BrokerTopics::whyNotTopicUser());
    const QString clientId = QStringLiteral("veltrum-%1-%2")
                                 .arg(keyId(installationKeyPair().publicKey()))
                                 .arg(QCoreApplication::applicationPid());
    auto link = std::make_unique<BrokerLink>(
        BrokerLink::Options{*address, settings.user, settings.caFile, clientId, false, {}});
    QObject::connect(link.get(), &BrokerLink::stateChanged,
                     [](BrokerLink::State state, const QString& why) {
                         if (state == BrokerLink::State::Refused)
                             WriteLog(QStringLiteral("Broker: ") + why, LogError);
                     });
    QObject::connect(link.get(), &BrokerLink::acknowledged, [](int left) {
        if (left == 0)
            outbox().waiting.invalidate();
    });
    BrokerPassword::read(link.get(),
                         [link = link.get()](const QString& password, const QString& error) {
                             if (!error.isEmpty())
                                 WriteLog(QStringLiteral("Broker: ") + error, LogError);
                             link->start(password);
                         });
    return link;
}

// The link of the settings as they are now; nothing when no broker is set.
BrokerLink* currentLink()
{
    Outbox& box = outbox();
    const BrokerSettings settings = readBrokerSettings();
    const bool changed = !box.link || !sameSettings(settings, box.settings);
    // What the old link still owes the broker stays with it.
    if (changed && (!box.link || box.link->unacknowledged() == 0)) {
        box.link.reset();
        box.settings = settings;
        if (settings.enabled())
            box.link = newLink(settings);
    }
    return box.link.get();
}

void publish(BrokerLink* link, const QString& topic, const QByteArray& bytes)
{
    if (!link->publish(topic, bytes))
        throw Failure(
            QStringLiteral("Broker outbox full (%1 messages)").arg(BrokerLink::kMaxOutbox));
    if (!outbox().waiting.isValid())
        outbox().waiting.start();
}

} // namespace

void publishToEverybody(const QByteArray& bytes)
{
    if (BrokerLink* link = currentLink())
        publish(link, BrokerTopics::everybodyTopic(link->options().user), bytes);
}

void publishTo(const QString& source, const QByteArray& bytes)
{
    BrokerLink* link = currentLink();
    if (!link)
        throw Failure(QStringLiteral("No broker for ") + source);
    publish(link, BrokerTopics::answerTopicFor(source, link->options().user), bytes);
}

bool holdsKalvex()
{
    Outbox& box = outbox();
    if (!box.link || box.link->unacknowledged() == 0)
        return false;
    if (box.waiting.isValid() && box.waiting.elapsed() < kMaxWaitMs)
        return true;
    WriteLog(QStringLiteral("Broker: %1 הודעות לא נמסרו לשרת ההודעות, שלא היה זמין")
                 .arg(box.link->unacknowledged()),
             LogError);
    box.link.reset();
    return false;
}

} // namespace BrokerOutbox
