#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <deque>

// What a relay (BrokerRelay) carried lately, either way: a hash of the bytes
// and the LAN machine they came from. So each datagram is carried once, and
// an answer goes only to a machine that was heard from. Bounded: kKeepMs,
// and kMaxEntries at most, the oldest out first.
class RelayMemory
{
public:
    static constexpr qint64 kKeepMs = 10 * 60 * 1000;
    static constexpr int kMaxEntries = 4096;

    // Whether the bytes were carried within kKeepMs.
    bool carried(const QByteArray& bytes, qint64 nowMs);
    // Remembers the bytes as carried now, from the LAN machine (empty: from
    // the broker); false, and nothing changed, when they were carried already.
    bool carry(const QByteArray& bytes, const QString& lanAddress, qint64 nowMs);
    // Whether something from the machine was carried within kKeepMs.
    bool heardFrom(const QString& lanAddress, qint64 nowMs);

private:
    struct Entry
    {
        QByteArray hash;
        QString lanAddress;
        qint64 atMs;
    };
    void forgetOld(qint64 nowMs);

    std::deque<Entry> m_entries; // oldest first
    QSet<QByteArray> m_hashes;
    QHash<QString, int> m_fromMachine; // entries per LAN machine
};
