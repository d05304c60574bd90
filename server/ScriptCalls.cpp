#include "server/ScriptCalls.h"

#include "common/KalvexBus.h"
#include "server/CommandQueue.h"
#include "store/WriteBatch.h"

#include <utility>
#include <vector>

ScriptCalls::ScriptCalls(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ScriptCalls::run);
}

void ScriptCalls::queue(const QDBusConnection& bus, const QDBusMessage& call, Reply reply)
{
    m_calls.append({bus, call, std::move(reply)});
    if (!m_timer.isActive())
        m_timer.start(0);
}

void ScriptCalls::run()
{
    if (WriteBatch::connection()) {
        m_timer.start(kGuardRetryMs);
        return;
    }
    const QList<Call> calls = std::exchange(m_calls, {});
    std::vector<bool> answered(std::size_t(calls.size()), false);
    {
        WriteBatch batch;
        for (qsizetype i = 0; i < calls.size(); ++i)
            batch.step([&, i] {
                const Call& call = calls[i];
                const QDBusMessage reply = call.reply();
                if (reply.type() == QDBusMessage::ErrorMessage) {
                    call.bus.send(reply);
                    answered[std::size_t(i)] = true;
                    return false; // its writes undone
                }
                afterCommit([&answered, i, bus = call.bus, reply] {
                    bus.send(reply);
                    answered[std::size_t(i)] = true;
                });
                return true;
            });
        batch.finish();
    }
    for (qsizetype i = 0; i < calls.size(); ++i)
        if (!answered[std::size_t(i)])
            calls[i].bus.send(calls[i].message.createErrorReply(
                KalvexBus::failedError, QStringLiteral("The reminders were not stored")));
}
