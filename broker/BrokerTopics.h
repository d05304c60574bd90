#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The office's topics on the broker. Each installation publishes only under
// its own broker user name and reads only the office's topic and its own:
//   veltrum/all/<user>               what goes to everybody
//   veltrum/to/<recipient>/<user>    answers to one colleague
// so a broker ACL with the patterns "write veltrum/all/%u", "write
// veltrum/to/+/%u", "read veltrum/all/#" and "read veltrum/to/%u/#" keeps
// every user to its own name. The payload is a datagram's bytes as the LAN
// carries them.
namespace BrokerTopics {

// What a datagram's source reads when it came by the broker: "mqtt:<user>",
// the broker user that published it. Answers to such a source go back
// through the broker (answerTopic).
QString sourceOf(const QString& user);
bool isBrokerSource(const QString& source);
QString userOfSource(const QString& source);

// A user name the topics can carry: not empty, at most kMaxUserLength
// characters, none of "+", "#", "/" or NUL.
bool isTopicUser(const QString& user);
inline constexpr int kMaxUserLength = 64;
// Why a user name cannot be used, in Hebrew.
QString whyNotTopicUser();

QString everybodyTopic(const QString& user);
QString answerTopic(const QString& recipient, const QString& user);
// What an installation of the user subscribes to.
QStringList subscriptions(const QString& user);
// The user that published on a topic of the office; nothing for any other topic.
std::optional<QString> publisherOf(const QString& topic);

} // namespace BrokerTopics
