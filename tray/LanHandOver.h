#pragma once

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
// a datagram longer than any peer can send, one from an address over its
// rate (SenderRates), and one that finds the queue full.
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
    void handOverNext();
    void handedOver(bool handed);

    SenderRates m_rates;
    QQueue<Waiting> m_queue;
    qint64 m_waitingBytes = 0;
    bool m_handingOver = false;
    bool m_handOverDue = false; // a hand-over waits for the next turn of the event loop
    int m_failures = 0;         // hand-overs failed in a row
};
