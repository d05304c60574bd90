#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The office's topics on the broker. Each installation publishes only under
// its own broker user name and reads only the office's topics and its own:
//   veltrum/all/<user>                    what goes to everybody
//   veltrum/to/<recipient>/<user>         answers to one colleague
//   veltrum/relay/<relay>/<lanaddr>       what a relay heard on its LAN from
//                                         the machine <lanaddr>
//   veltrum/via/<relay>/<lanaddr>/<user>  answers to that machine, which the
//                                         relay sends on to it
// so a broker ACL with the patterns "write veltrum/all/%u", "write
// veltrum/to/+/%u", "write veltrum/relay/%u/+", "write veltrum/via/+/+/%u",
// "read veltrum/all/#", "read veltrum/to/%u/#", "read veltrum/relay/#" and
// "read veltrum/via/%u/#" keeps every user to its own name. The payload is a
// datagram's bytes as the LAN carries them.
namespace BrokerTopics {

// What a datagram's source reads when it came by the broker: "mqtt:<user>",
// the broker user that published it, or "relay:<relay>:<lanaddr>", a
// datagram the relay <relay> heard on its LAN from <lanaddr>, which speaks
// for whoever signed it, never for the relay. Answers to either go back
// through the broker (answerTopicFor).
QString sourceOf(const QString& user);
QString relayedSourceOf(const QString& relay, const QString& lanAddress);
bool isBrokerSource(const QString& source);
// The user of "mqtt:<user>"; the relay of "relay:<relay>:<lanaddr>".
QString userOfSource(const QString& source);
// The LAN machine of "relay:<relay>:<lanaddr>"; empty for any other source.
QString lanAddressOfSource(const QString& source);

// A user name the topics can carry: not empty, at most kMaxUserLength
// characters, none of "+", "#", "/" or NUL.
bool isTopicUser(const QString& user);
inline constexpr int kMaxUserLength = 64;
// Why a user name cannot be used, in Hebrew.
QString whyNotTopicUser();

QString everybodyTopic(const QString& user);
QString answerTopic(const QString& recipient, const QString& user);
QString relayedTopic(const QString& relay, const QString& lanAddress);
QString viaTopic(const QString& relay, const QString& lanAddress, const QString& user);
// Where the user answers a broker source.
QString answerTopicFor(const QString& source, const QString& user);
// What an installation of the user subscribes to; a relay also to the
// answers it sends on.
QStringList subscriptions(const QString& user, bool relay = false);

// A message on a topic of the office, as its topic names it.
struct Message
{
    enum Kind { Everybody, Answer, Relayed, Via };
    Kind kind = Everybody;
    QString publisher;  // the user that published it
    QString relay;      // Relayed, Via: the relay that carries it
    QString lanAddress; // Relayed: the machine it came from; Via: the one it goes to

    // The source Kalvex takes it from (Everybody, Answer, Relayed).
    QString source() const;
};
// Nothing for a topic the office does not use, or one whose user or address
// is not a single valid level.
std::optional<Message> messageOn(const QString& topic);

} // namespace BrokerTopics
