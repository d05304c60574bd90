#include "broker/BrokerAddress.h"
#include "broker/BrokerTopics.h"

#include <QTest>

// A message names its sender by its topic alone (the broker's ACL keeps each user to its own):
// a topic the office does not use, or a user name that is no single level, names nobody.
class TestBrokerTopics : public QObject
{
    Q_OBJECT

private slots:
    // Built topics read as the ACL expects, and name back who published them.
    void topics_data()
    {
        using namespace BrokerTopics;
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("text");  // as the broker must see it
        QTest::addColumn<QString>("named"); // "kind publisher relay machine", "" when nobody
        const auto row = [](const char* name, const QString& topic, const char* text,
                            const char* named) { QTest::newRow(name) << topic << text << named; };
        row("to everybody", everybodyTopic("dana"), "veltrum/all/dana", "0 dana  ");
        row("an answer", answerTopic("me", "dana"), "veltrum/to/me/dana", "1 dana  ");
        row("Hebrew user", "veltrum/all/דנה", "veltrum/all/דנה", "0 דנה  ");
        row("relayed", relayedTopic("r1", "10.0.0.5"), "veltrum/relay/r1/10.0.0.5",
            "2 r1 r1 10.0.0.5");
        row("via a relay", viaTopic("r1", "10.0.0.5", "dana"), "veltrum/via/r1/10.0.0.5/dana",
            "3 dana r1 10.0.0.5");
        for (const char* nobody :
             {"other/all/dana", "veltrum/all/dana/x", "veltrum/to/me", "veltrum/all/",
              "veltrum/any/dana", "veltrum/relay/r1", "veltrum/relay/r1/host",
              "veltrum/relay/r1/10.0.0.05", "veltrum/relay/+/10.0.0.5", "veltrum/via/r1/10.0.0.5",
              "veltrum/via/+/10.0.0.5/dana"})
            row(nobody, nobody, nobody, "");
    }
    void topics()
    {
        QFETCH(QString, topic);
        QFETCH(QString, text);
        QFETCH(QString, named);
        QCOMPARE(topic, text);
        const std::optional<BrokerTopics::Message> message = BrokerTopics::messageOn(topic);
        QCOMPARE(message ? QString("%1 %2 %3 %4")
                               .arg(message->kind)
                               .arg(message->publisher, message->relay, message->lanAddress)
                         : QString(),
                 named);
    }

    // Kalvex answers a source where its sender reads: a user's topic, or the relay's for the
    // machine behind it; a relayed source never names the relay as its sender.
    void sources_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("parsed"); // "user machine answerTopic", "" when no broker's
        QTest::newRow("a user") << BrokerTopics::sourceOf("dana") << "dana  veltrum/to/dana/me";
        QTest::newRow("relayed") << BrokerTopics::relayedSourceOf("r1", "10.0.0.5")
                                 << "r1 10.0.0.5 veltrum/via/r1/10.0.0.5/me";
        QTest::newRow("relay with a colon") << "relay:a:b:10.0.0.5"
                                            << "a:b 10.0.0.5 veltrum/via/a:b/10.0.0.5/me";
        QTest::newRow("relayed from a received message")
            << BrokerTopics::messageOn("veltrum/relay/r1/10.0.0.5")->source()
            << "r1 10.0.0.5 veltrum/via/r1/10.0.0.5/me";
        for (const char* none :
             {"10.0.0.5", "mqtt:", "mqtt:a/b", "relay:r1:", "relay::10.0.0.5", "relay:r1:10.0.0",
              "relay:r1:010.0.0.5", "relay:r/1:10.0.0.5", "relay:10.0.0.5"})
            QTest::newRow(none) << none << "";
    }
    void sources()
    {
        QFETCH(QString, source);
        QFETCH(QString, parsed);
        QCOMPARE(BrokerTopics::isBrokerSource(source)
                     ? QString("%1 %2 %3")
                           .arg(BrokerTopics::userOfSource(source),
                                BrokerTopics::lanAddressOfSource(source),
                                BrokerTopics::answerTopicFor(source, "me"))
                     : QString(),
                 parsed);
    }

    // Each user subscribes to what the others publish for it, never to another's answers; a
    // relay also to the answers it carries on.
    void subscriptions()
    {
        QCOMPARE(BrokerTopics::subscriptions("me"),
                 (QStringList{"veltrum/all/#", "veltrum/to/me/#", "veltrum/relay/#"}));
        QCOMPARE(BrokerTopics::subscriptions("me", true),
                 (QStringList{"veltrum/all/#", "veltrum/to/me/#", "veltrum/relay/#",
                              "veltrum/via/me/#"}));
    }

    void topicUsers_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("usable");
        QTest::newRow("plain") << "dana" << true;
        QTest::newRow("longest") << QString(BrokerTopics::kMaxUserLength, 'x') << true;
        QTest::newRow("too long") << QString(BrokerTopics::kMaxUserLength + 1, 'x') << false;
        QTest::newRow("empty") << "" << false;
        for (const char* wildcard : {"a+b", "a#", "a/b"})
            QTest::newRow(wildcard) << wildcard << false;
        QTest::newRow("NUL") << QString("a") + QChar(0) << false;
    }
    void topicUsers()
    {
        QFETCH(QString, user);
        QFETCH(bool, usable);
        QCOMPARE(BrokerTopics::isTopicUser(user), usable);
        QCOMPARE(BrokerTopics::isBrokerSource(BrokerTopics::sourceOf(user)), usable);
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed"); // host:port:tls, "" when refused
        QTest::newRow("plain") << "mqtt://broker"
                               << "broker:1883:0";
        QTest::newRow("TLS") << "mqtts://broker.office"
                             << "broker.office:8883:1";
        QTest::newRow("port") << " mqtt://10.0.0.5:2883 "
                              << "10.0.0.5:2883:0";
        QTest::newRow("capitals") << "MQTTS://Broker:9"
                                  << "broker:9:1";
        QTest::newRow("another scheme") << "http://broker"
                                        << "";
        QTest::newRow("no scheme") << "broker:1883"
                                   << "";
        QTest::newRow("a path") << "mqtt://broker/x"
                                << "";
        QTest::newRow("credentials") << "mqtt://u:p@broker"
                                     << "";
        QTest::newRow("no host") << "mqtt://"
                                 << "";
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const std::optional<BrokerAddress> address = parseBrokerAddress(text);
        QCOMPARE(address
                     ? QString("%1:%2:%3").arg(address->host).arg(address->port).arg(address->tls)
                     : QString(),
                 parsed);
    }
};

QTEST_GUILESS_MAIN(TestBrokerTopics)
#include "tst_broker_topics.moc"
