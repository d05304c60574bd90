#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

// The reminder calls of scripts (ReminderScripts.h), carried out in arrival
// order at the end of the event-loop turn in which they arrived: the calls of
// one turn in one WriteBatch, so a burst costs one synced commit instead of
// one each. A call is answered once the batch has committed, so an answer
// never promises a reminder that is not stored; a refused call is answered
// at once and its writes undone; when the commit fails, the calls waiting
// for it get Kalvex.KVClass.Error.Failed. While a drain of the command queue
// has a batch of its own open (the turn runs in a nested event loop), the
// calls wait for it.
class ScriptCalls : public QObject
{
    Q_OBJECT
public:
    explicit ScriptCalls(QObject* parent = nullptr);

    // The reply to send: a reply or an error reply to the call.
    using Reply = std::function<QDBusMessage()>;
    void queue(const QDBusConnection& bus, const QDBusMessage& call, Reply reply);

private:
    void run();

    struct Call
    {
        QDBusConnection bus;
        QDBusMessage message;
        Reply reply;
    };
    QList<Call> m_calls;
    QTimer m_timer;
};
