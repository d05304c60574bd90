#include "broker/BrokerTopics.h"

#include <QHostAddress>

namespace BrokerTopics {

namespace {
const QString kRoot = QStringLiteral("veltrum");
const QString kAll = QStringLiteral("all");
const QString kTo = QStringLiteral("to");
const QString kRelay = QStringLiteral("relay");
const QString kVia = QStringLiteral("via");
const QString kSourcePrefix = QStringLiteral("mqtt:");
const QString kRelayedPrefix = QStringLiteral("relay:");
const QString kEvery = QStringLiteral("#");

QString topic(const QStringList& levels)
{
    return (QStringList{kRoot} + levels).join(QLatin1Char('/'));
}

// Dotted decimal as a relay writes a sender's address: one form for each.
bool isLanAddress(const QString& text)
{
    const QHostAddress address(text);
    return address.protocol() == QAbstractSocket::IPv4Protocol && address.toString() == text;
}

// "relay:<relay>:<lanaddr>" split; the address has no ":", the relay may.
std::optional<std::pair<QString, QString>> relayedParts(const QString& source)
{
    if (!source.startsWith(kRelayedPrefix))
        return std::nullopt;
    const qsizetype colon = source.lastIndexOf(QLatin1Char(':'));
    const QString relay = source.mid(kRelayedPrefix.size(), colon - kRelayedPrefix.size());
    const QString lanAddress = source.mid(colon + 1);
    if (colon < kRelayedPrefix.size() || !isTopicUser(relay) || !isLanAddress(lanAddress))
        return std::nullopt;
    return std::pair(relay, lanAddress);
}

} // namespace

QString sourceOf(const QString& user)
{
    return kSourcePrefix + user;
}

QString relayedSourceOf(const QString& relay, const QString& lanAddress)
{
    return kRelayedPrefix + relay + QLatin1Char(':') + lanAddress;
}

bool isBrokerSource(const QString& source)
{
    return (source.startsWith(kSourcePrefix) && isTopicUser(userOfSource(source))) ||
           relayedParts(source);
}

QString userOfSource(const QString& source)
{
    if (const auto relayed = relayedParts(source))
        return relayed->first;
    return source.mid(kSourcePrefix.size());
}

QString lanAddressOfSource(const QString& source)
{
    const auto relayed = relayedParts(source);
    return relayed ? relayed->second : QString();
}

bool isTopicUser(const QString& user)
{
    return !user.isEmpty() && user.size() <= kMaxUserLength && !user.contains(QLatin1Char('+')) &&
           !user.contains(QLatin1Char('#')) && !user.contains(QLatin1Char('/')) &&
           !user.contains(QChar(0));
}

QString whyNotTopicUser()
{
    return QStringLiteral("שם המשתמש בשרת ההודעות חייב להכיל תו אחד לפחות ועד %1 תווים, ללא "
                          "התווים + # /")
        .arg(kMaxUserLength);
}

QString everybodyTopic(const QString& user)
{
    return topic({kAll, user});
}

QString answerTopic(const QString& recipient, const QString& user)
{
    return topic({kTo, recipient, user});
}

QString relayedTopic(const QString& relay, const QString& lanAddress)
{
    return topic({kRelay, relay, lanAddress});
}

QString viaTopic(const QString& relay, const QString& lanAddress, const QString& user)
{
    return topic({kVia, relay, lanAddress, user});
}

QString answerTopicFor(const QString& source, const QString& user)
{
    if (const auto relayed = relayedParts(source))
        return viaTopic(relayed->first, relayed->second, user);
    return answerTopic(userOfSource(source), user);
}

QStringList subscriptions(const QString& user, bool relay)
{
    QStringList topics{topic({kAll, kEvery}), topic({kTo, user, kEvery}), topic({kRelay, kEvery})};
    if (relay)
        topics << topic({kVia, user, kEvery});
    return topics;
}

QString Message::source() const
{
    return kind == Relayed ? relayedSourceOf(relay, lanAddress) : sourceOf(publisher);
}

std::optional<Message> messageOn(const QString& topic)
{
    const QStringList parts = topic.split(QLatin1Char('/'));
    if (parts.value(0) != kRoot || !isTopicUser(parts.last()))
        return std::nullopt;
    const QString& kind = parts.value(1);
    if (kind == kAll && parts.size() == 3)
        return Message{Message::Everybody, parts[2], {}, {}};
    if (kind == kTo && parts.size() == 4)
        return Message{Message::Answer, parts[3], {}, {}};
    if (kind == kRelay && parts.size() == 4 && isTopicUser(parts[2]) && isLanAddress(parts[3]))
        return Message{Message::Relayed, parts[2], parts[2], parts[3]};
    if (kind == kVia && parts.size() == 5 && isTopicUser(parts[2]) && isLanAddress(parts[3]))
        return Message{Message::Via, parts[4], parts[2], parts[3]};
    return std::nullopt;
}

} // namespace BrokerTopics
