#include "tray/BrokerReceiver.h"

#include "broker/BrokerAddress.h"
#include "broker/BrokerPassword.h"
#include "broker/BrokerSettings.h"
#include "broker/BrokerTopics.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "tray/BrokerRelay.h"
#include "tray/BrokerState.h"
#include "tray/LanHandOver.h"
#include "trust/Fingerprint.h"
#include "trust/InstallationSigner.h"

namespace {

const QString kTipPrefix = QStringLiteral("שרת ההודעות: ");

QString stateText(BrokerLink::State state, const QString& why)
{
    switch (state) {
    case BrokerLink::State::Connected:
        return kTipPrefix + QStringLiteral("מחובר");
    case BrokerLink::State::Connecting:
        return kTipPrefix + (why.isEmpty() ? QStringLiteral("מתחבר") : why);
    case BrokerLink::State::Refused:
        return kTipPrefix + QStringLiteral("אין חיבור: ") + why;
    }
    return {};
}

} // namespace

BrokerReceiver::BrokerReceiver(LanHandOver* handOver, quint16 lanPort, QObject* parent)
    : QObject(parent), m_handOver(handOver)
{
    const BrokerSettings settings = readBrokerSettings();
    if (!settings.enabled())
        return;
    const std::optional<BrokerAddress> address = parseBrokerAddress(settings.address);
    if (!address || !BrokerTopics::isTopicUser(settings.user)) {
        showState(BrokerLink::State::Refused,
                  address ? BrokerTopics::whyNotTopicUser() : whyNotBrokerAddress());
        return;
    }
    QString clientId;
    if (!trapped(QStringLiteral("BrokerReceiver"), [&] {
            clientId = QStringLiteral("veltrum-") + keyId(installationKeyPair().publicKey());
        }))
        return;
    const bool relays = settings.relay && lanPort != 0;
    m_link = new BrokerLink({*address, settings.user, settings.caFile, clientId, true,
                             BrokerTopics::subscriptions(settings.user, relays)},
                            this);
    if (relays)
        m_relay = new BrokerRelay(m_link, lanPort, this);
    connect(m_link, &BrokerLink::stateChanged, this, &BrokerReceiver::showState);
    connect(m_link, &BrokerLink::received, this, &BrokerReceiver::take);
    showState(BrokerLink::State::Connecting, QString());
    BrokerPassword::read(this, [this](const QString& password, const QString& error) {
        connectWith(password, error);
    });
}

BrokerReceiver::~BrokerReceiver()
{
    BrokerState::instance().setText(QString());
}

void BrokerReceiver::connectWith(const QString& password, const QString& error)
{
    if (!error.isEmpty())
        WriteLog(QStringLiteral("BrokerReceiver: ") + error, LogError);
    m_link->start(password);
}

void BrokerReceiver::take(const QString& topic, const QByteArray& payload)
{
    if (const std::optional<BrokerTopics::Message> message = BrokerTopics::messageOn(topic))
        carry(*message, payload);
    m_link->doneWithReceived();
}

void BrokerReceiver::carry(const BrokerTopics::Message& message, const QByteArray& payload)
{
    using Message = BrokerTopics::Message;
    const QString& me = m_link->options().user;
    if (message.kind == Message::Via) {
        if (m_relay && message.relay == me)
            m_relay->toLanMachine(message.lanAddress, payload);
        return;
    }
    if (message.publisher == me)
        return;
    LogFolding folding;
    WriteLog(QStringLiteral("DataArrival: ") + datagramExcerpt(payload), LogInformation);
    m_handOver->take(payload, message.source());
    if (m_relay && message.kind != Message::Answer)
        m_relay->toLan(payload);
}

// Each change once, in the log and the tip; not each try.
void BrokerReceiver::showState(BrokerLink::State state, const QString& why)
{
    const QString text = stateText(state, why);
    WriteLog(QStringLiteral("Broker: ") + text,
             state == BrokerLink::State::Refused ? LogError : LogInformation);
    BrokerState::instance().setText(text);
}
