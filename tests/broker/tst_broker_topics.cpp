#include "broker/BrokerAddress.h"
#include "broker/BrokerTopics.h"

#include <QTest>

// A message names its sender by its topic alone (the broker's ACL keeps each user to its own):
// a topic the office does not use, or a user name that is no single level, names nobody.
class TestBrokerTopics : public QObject
{
    Q_OBJECT

private slots:
    void publisherOf_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("publisher"); // "" when nobody
        QTest::newRow("to everybody") << "veltrum/all/dana"
                                      << "dana";
        QTest::newRow("an answer") << "veltrum/to/me/dana"
                                   << "dana";
        QTest::newRow("Hebrew user") << "veltrum/all/דנה"
                                     << "דנה";
        QTest::newRow("another root") << "other/all/dana"
                                      << "";
        QTest::newRow("a level more") << "veltrum/all/dana/x"
                                      << "";
        QTest::newRow("answer without sender") << "veltrum/to/me"
                                               << "";
        QTest::newRow("empty user") << "veltrum/all/"
                                    << "";
        QTest::newRow("another kind") << "veltrum/any/dana"
                                      << "";
    }
    void publisherOf()
    {
        QFETCH(QString, topic);
        QFETCH(QString, publisher);
        QCOMPARE(BrokerTopics::publisherOf(topic).value_or(QString()), publisher);
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

    // Each user subscribes to what the others publish for it, never to another's answers.
    void subscriptionsMatchWhatOthersPublish()
    {
        QCOMPARE(BrokerTopics::subscriptions("me"),
                 (QStringList{"veltrum/all/#", "veltrum/to/me/#"}));
        QCOMPARE(BrokerTopics::answerTopic("me", "dana"), QString("veltrum/to/me/dana"));
        QCOMPARE(BrokerTopics::everybodyTopic("dana"), QString("veltrum/all/dana"));
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
