#pragma once

#include "tray/PinnedSenders.h"
#include "tray/SenderRates.h"

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QString>

// Between the LAN receiver's socket and Kalvex: a bounded queue of the
// datagrams received, handed to Kalvex in batches (MsgProcessBatch), one
// batch at a time, the next once Kalvex has carried out the last. So the
// socket is read on however slowly Kalvex works, and what waits is bounded.
//
// Dropped, and counted in the log's summary ("dropped N datagrams from X"):
// a datagram longer than any peer can send, one over its sender's rate
// (SenderRates), and one that finds the queue full. The sender is the
// colleague, when a pinned colleague signed the datagram (PinnedSenders),
// else the address it came from; such unverified datagrams fill the queue
// to kMaxUnverifiedShare of its bounds at most, leaving the rest for
// colleagues.
class LanHandOver : public QObject
{
    Q_OBJECT
public:
    explicit LanHandOver(QObject* parent = nullptr, std::function<qint64()> msNow = {});

    // One datagram as it came, with the address it came from.
    void take(const QByteArray& bytes, const QString& source);

    int waiting() const { return int(m_queue.size()); }
    bool handingOver() const { return m_handingOver; }

    static constexpr int kMaxWaitingDatagrams = 2000;
    static constexpr qint64 kMaxWaitingBytes = 8 * 1024 * 1024;
    // The part of the queue's bounds that unverified datagrams may fill.
    static constexpr int kMaxUnverifiedShare = 4; // of 5
    static constexpr int kBatchDatagrams = 200;
    static constexpr qint64 kBatchBytes = 1024 * 1024;
    static constexpr int kRetryStepMs = 1000;
    static constexpr int kMaxRetryMs = 30000;

private:
    struct Waiting
    {
        QByteArray bytes;
        QString source;
    };
    bool hasRoom(qint64 bytes, bool verified) const;
    void handOverNext();
    void handedOver(bool handed);

    SenderRates m_rates;
    PinnedSenders m_pinned;
    QQueue<Waiting> m_queue;
    qint64 m_waitingBytes = 0;
    bool m_handingOver = false;
    bool m_handOverDue = false; // a hand-over waits for the next turn of the event loop
    int m_failures = 0;         // hand-overs failed in a row
};
