#pragma once

#include "broker/BrokerAddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// One connection to the office's MQTT broker (libmosquitto). Its network
// loop runs on a thread of its own, so neither the windows nor the due check
// ever wait for the broker; what it learns comes back to the owner's thread
// by queued calls.
//
// It keeps trying: a connection that fails or is lost is tried again after
// a pause that starts at kFirstRetryMs and doubles up to kMaxRetryMs (from
// the first again once a connection was made). The state is told only when
// it changes, so a reason is told once, not at every try. With TLS the
// broker's certificate must be signed by the CA file given (else by the
// system's) and name the host; nothing goes before it was checked.
//
// Published messages (QoS 1) wait in a bounded outbox until the broker
// acknowledged them, and go again after a reconnection. Received messages
// wait for the owner's doneWithReceived: at kMaxReceivedWaiting the loop
// stops reading, and the broker keeps the rest.
class BrokerLink : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        BrokerAddress address;
        QString user;
        QString caFile;
        QString clientId;
        bool persistent = false;   // a session the broker keeps while away
        QStringList subscriptions; // QoS 1, made again at every connection
    };
    enum class State { Connecting, Connected, Refused };

    explicit BrokerLink(Options options, QObject* parent = nullptr);
    ~BrokerLink() override;

    // Starts connecting with the password (the keyring answers later).
    void start(const QString& password);
    // Queues the payload for the topic; false when the outbox is full.
    bool publish(const QString& topic, const QByteArray& payload);
    // Messages published and not acknowledged by the broker yet.
    int unacknowledged() const;
    // The owner has taken one message received.
    void doneWithReceived();

    State state() const { return m_state; }
    QString why() const { return m_why; }
    const Options& options() const { return m_options; }

    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kMaxRetryMs = 5 * 60 * 1000;
    static constexpr int kMaxOutbox = 2000;
    static constexpr int kMaxReceivedWaiting = 500;
    static constexpr int kKeepAliveSeconds = 30;

signals:
    // why: in Hebrew, empty when connected.
    void stateChanged(BrokerLink::State state, const QString& why);
    void received(const QString& topic, const QByteArray& payload);
    void acknowledged(int unacknowledged);

private:
    struct Shared;
    void noteState(State state, const QString& why);

    Options m_options;
    std::shared_ptr<Shared> m_shared;
    State m_state = State::Connecting;
    QString m_why;
};
