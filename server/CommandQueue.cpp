#include "server/CommandQueue.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "scheduling/CheckRemind.h"
#include "scheduling/PublishNextDate.h"
#include "server/FrmDummy.h"
#include "server/LanMessageSeam.h"
#include "store/WriteBatch.h"

#include <QElapsedTimer>

qint32 MutexWaits = 0;

namespace {

bool g_guardTaken = false;

struct WaitingDatagram
{
    LanDatagram datagram;
    std::function<void()> done;
};

QQueue<WaitingDatagram>& waiting()
{
    static QQueue<WaitingDatagram> queue;
    return queue;
}
qsizetype g_waitingChars = 0;

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

bool isCommand(const QString& text)
{
    return text.startsWith(kCheckCommand) || text.startsWith(kUpdateCommand);
}

void runCommand(const QString& text)
{
    if (text.startsWith(kCheckCommand))
        CheckRemind();
    else
        PublishNextDate();
}

template <typename Work> bool runTrapped(const Work& work)
{
    try {
        return trapped(QStringLiteral("DrainCommandQueue"), work);
    } catch (...) {
        WriteLog(QStringLiteral("DrainCommandQueue: unknown failure"), LogError);
    }
    return false;
}

// Appends the datagram unless the queue is full; false when it was dropped.
bool enqueue(const LanDatagram& datagram)
{
    if (waiting().size() >= kMaxWaitingDatagrams ||
        g_waitingChars + datagram.text.size() > kMaxWaitingChars) {
        CountForLog(QStringLiteral("LAN: dropped %1 datagrams from %2: Kalvex's queue is full"),
                    datagram.source.isEmpty() ? QStringLiteral("MsgProcess") : datagram.source);
        return false;
    }
    g_waitingChars += datagram.text.size();
    waiting().enqueue({datagram, {}});
    return true;
}

void armDrain(int ms)
{
    FrmDummy::load()->armDrainTimer(ms, DrainCommandQueue);
}

// One slice of the waiting datagrams, stored with one commit (a synced write
// each would limit a burst to some seventy a second); their answers and the
// next due time wait for it, and so does the done work of their callers.
void runDatagramSlice()
{
    LogFolding folding;
    QList<std::function<void()>> finished;
    QElapsedTimer spent;
    spent.start();
    WriteBatch batch;
    for (int n = 0; n < kSliceDatagrams && !waiting().isEmpty() && spent.elapsed() < kSliceMs;
         ++n) {
        WaitingDatagram next = waiting().dequeue();
        g_waitingChars -= next.datagram.text.size();
        const LanDatagram& d = next.datagram;
        batch.step([&d] { return runTrapped([&d] { ProcessLanMessage(d.text, d.source); }); });
        if (next.done)
            finished << std::move(next.done);
    }
    batch.finish();
    for (const auto& done : finished)
        done();
}

} // namespace

QQueue<QString>& CommandQueue()
{
    static QQueue<QString> queue;
    return queue;
}

void QueueCommand(const QString& text)
{
    if (isCommand(text))
        CommandQueue().enqueue(text);
    else if (!enqueue({QString(), text}))
        return;
    armDrain(1);
}

void QueueDatagrams(const QList<LanDatagram>& datagrams, std::function<void()> done)
{
    bool queued = false;
    for (const LanDatagram& datagram : datagrams)
        queued = enqueue(datagram) || queued;
    if (!queued) {
        if (done)
            done();
        return;
    }
    // The batch's last one queued: the others are carried out before it.
    waiting().last().done = std::move(done);
    armDrain(1);
}

void DrainCommandQueue()
{
    if (g_guardTaken && MutexWaits < kMaxMutexWaits) {
        ++MutexWaits;
        armDrain(kGuardRetryMs);
        return;
    }
    if (MutexWaits >= kMaxMutexWaits)
        WriteLog(QStringLiteral("Mutex timed out"), LogError);

    GuardScope guard;
    while (!CommandQueue().isEmpty()) {
        const QString command = CommandQueue().dequeue();
        runTrapped([&command] { runCommand(command); });
    }
    if (waiting().isEmpty())
        return;
    runDatagramSlice();
    if (!waiting().isEmpty())
        armDrain(kSliceGapMs);
}

void ClearCommandQueue()
{
    CommandQueue().clear();
    QQueue<WaitingDatagram> dropped;
    dropped.swap(waiting());
    g_waitingChars = 0;
    for (const WaitingDatagram& d : dropped)
        if (d.done)
            d.done();
}

bool IsDraining()
{
    return g_guardTaken;
}

int PendingCommands()
{
    return int(CommandQueue().size() + waiting().size()) + (g_guardTaken ? 1 : 0);
}
