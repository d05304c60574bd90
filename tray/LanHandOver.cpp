#include "tray/LanHandOver.h"

#include "common/LanDatagram.h"
#include "common/LanText.h"
#include "common/Log.h"
#include "tray/modMain.h"
#include "trust/TrustFiles.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {

void drop(const QString& why, const QString& source)
{
    CountForLog(QStringLiteral("LAN: dropped %1 datagrams from %2: ") + why, source);
}

} // namespace

LanHandOver::LanHandOver(QObject* parent, std::function<qint64()> msNow)
    : QObject(parent), m_rates(std::move(msNow)), m_pinned(TrustFiles::colleaguesFile())
{
    registerLanDatagramType();
}

void LanHandOver::take(const QByteArray& bytes, const QString& source)
{
    if (bytes.size() > kMaxDatagramBytes) {
        drop(QStringLiteral("longer than %1 bytes").arg(kMaxDatagramBytes), source);
        return;
    }
    // An address may be faked: only a colleague's signature names who sent.
    const std::optional<QString> colleague = m_pinned.pinnedSigner(bytes);
    const QString sender =
        colleague ? QStringLiteral("key ") + *colleague : QStringLiteral("unverified ") + source;
    if (!m_rates.admit(sender, bytes.size())) {
        drop(QStringLiteral("over the rate of %1 datagrams or %2 bytes a second")
                 .arg(kDatagramsPerSecond)
                 .arg(kBytesPerSecond),
             sender);
        return;
    }
    if (!hasRoom(bytes.size(), colleague.has_value())) {
        drop(QStringLiteral("the queue to Kalvex is full"), sender);
        return;
    }
    m_queue.enqueue({bytes, source});
    m_waitingBytes += bytes.size();
    // After a turn of the event loop: the receiver first empties its socket, and
    // Kalvex, starting on the batch, does not compete with it for the processor.
    if (!m_handingOver && !m_handOverDue) {
        m_handOverDue = true;
        QTimer::singleShot(0, this, [this] {
            m_handOverDue = false;
            handOverNext();
        });
    }
}

bool LanHandOver::hasRoom(qint64 bytes, bool verified) const
{
    const qint64 datagrams =
        verified ? kMaxWaitingDatagrams : kMaxWaitingDatagrams * kMaxUnverifiedShare / 5;
    const qint64 byteBound =
        verified ? kMaxWaitingBytes : kMaxWaitingBytes * kMaxUnverifiedShare / 5;
    return m_queue.size() < datagrams && m_waitingBytes + bytes <= byteBound;
}

void LanHandOver::handOverNext()
{
    if (m_handingOver || m_queue.isEmpty())
        return;
    QList<LanDatagram> batch;
    qint64 bytes = 0;
    while (!m_queue.isEmpty() && batch.size() < kBatchDatagrams &&
           (batch.isEmpty() || bytes + m_queue.head().bytes.size() <= kBatchBytes)) {
        const Waiting next = m_queue.dequeue();
        m_waitingBytes -= next.bytes.size();
        bytes += next.bytes.size();
        batch << LanDatagram{next.source, lanTextFromBytes(next.bytes)};
    }
    m_handingOver = true;
    modMain::MsgProc(batch, [self = QPointer<LanHandOver>(this)](bool handed) {
        if (self)
            self->handedOver(handed);
    });
}

// The next batch after a turn of the event loop, so what arrived meanwhile
// joins it; after failures a while later, longer each time: a Kalvex that
// cannot be reached is not pressed, and what arrives meanwhile is dropped.
void LanHandOver::handedOver(bool handed)
{
    m_handingOver = false;
    m_failures = handed ? 0 : m_failures + 1;
    const int pauseMs = std::min(m_failures * kRetryStepMs, kMaxRetryMs);
    QTimer::singleShot(pauseMs, this, &LanHandOver::handOverNext);
}
