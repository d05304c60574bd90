#include "CommandQueue.h"

#include "DueCheck.h"
#include "Failure.h"
#include "FrmDummy.h"
#include "LanMessageSeam.h"
#include "Log.h"

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

void runCommand(const QString& text)
{
    const QString kind = text.left(5);
    if (kind == kCheckCommand)
        CheckRemind();
    else if (kind == kUpdateCommand)
        PublishNextDate();
    else
        ProcessLanMessage(text);
}

void runTrapped(const QString& text)
{
    try {
        runCommand(text);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("DrainCommandQueue: ") + describe(e), LogError);
    } catch (...) {
        WriteLog(QStringLiteral("DrainCommandQueue: unknown failure"), LogError);
    }
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
    while (!CommandQueue().isEmpty())
        runTrapped(CommandQueue().dequeue());
}

bool IsDraining()
{
    return g_guardTaken;
}

int PendingCommands()
{
    return int(CommandQueue().size()) + (g_guardTaken ? 1 : 0);
}
