#include "server/CommandQueue.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "scheduling/CheckRemind.h"
#include "scheduling/PublishNextDate.h"
#include "server/FrmDummy.h"
#include "server/LanMessageSeam.h"
#include "store/WriteBatch.h"

qint32 MutexWaits = 0;

namespace {

bool g_guardTaken = false;

// Holds the guard for one drain. A drain let through after the time-out
// runs nested inside another and leaves the guard to that one.
class GuardScope
{
public:
    GuardScope() : m_outermost(!g_guardTaken) { g_guardTaken = true; }
    ~GuardScope()
    {
        if (m_outermost)
            g_guardTaken = false;
    }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

private:
    bool m_outermost;
};

bool isDatagram(const QString& text)
{
    return !text.startsWith(kCheckCommand) && !text.startsWith(kUpdateCommand);
}

void runCommand(const QString& text)
{
    if (text.startsWith(kCheckCommand))
        CheckRemind();
    else if (text.startsWith(kUpdateCommand))
        PublishNextDate();
    else
        ProcessLanMessage(text);
}

bool runTrapped(const QString& text)
{
    try {
        return trapped(QStringLiteral("DrainCommandQueue"), [&] { runCommand(text); });
    } catch (...) {
        WriteLog(QStringLiteral("DrainCommandQueue: unknown failure"), LogError);
    }
    return false;
}

// The datagrams waiting at the head of the queue are stored with one commit
// (a synced write each would limit a burst to some seventy a second); their
// answers and the next due time wait for it.
void runDatagrams()
{
    WriteBatch batch;
    while (!CommandQueue().isEmpty() && isDatagram(CommandQueue().head())) {
        const QString text = CommandQueue().dequeue();
        batch.step([&text] { return runTrapped(text); });
    }
    batch.finish();
}

} // namespace

QQueue<QString>& CommandQueue()
{
    static QQueue<QString> queue;
    return queue;
}

void QueueCommand(const QString& text)
{
    CommandQueue().enqueue(text);
    FrmDummy::load()->armDrainTimer(1);
}

void DrainCommandQueue()
{
    if (g_guardTaken && MutexWaits < kMaxMutexWaits) {
        ++MutexWaits;
        FrmDummy::load()->armDrainTimer(kGuardRetryMs);
        return;
    }
    if (MutexWaits >= kMaxMutexWaits)
        WriteLog(QStringLiteral("Mutex timed out"), LogError);

    GuardScope guard;
    while (!CommandQueue().isEmpty()) {
        if (isDatagram(CommandQueue().head()))
            runDatagrams();
        else
            runTrapped(CommandQueue().dequeue());
    }
}

bool IsDraining()
{
    return g_guardTaken;
}

int PendingCommands()
{
    return int(CommandQueue().size()) + (g_guardTaken ? 1 : 0);
}
