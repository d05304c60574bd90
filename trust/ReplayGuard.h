#pragma once

#include "trust/Keys.h"

#include <QByteArray>
#include <QHash>

#include <limits>
#include <vector>

// What a receiver remembers of the signed datagrams it took, so that none
// is taken twice: per sender key the latest counters, and the latest time.
// A datagram whose time lies more than the window from now is stale; one
// whose counter was taken already, or is older than every counter
// remembered for its key, is replayed.
//
// Memory is bounded: a key none of whose datagrams could still be fresh is
// forgotten when room is needed; with maxKeys keys all fresh, the one taken
// least recently goes, and until the window has passed over its latest time,
// a key not remembered must bring a time later than that (a replay of a
// forgotten key's datagram cannot). A flood of fresh keys thus pushes out
// everything: keep the keys of pinned colleagues in a guard of their own.
//
// Pure: the caller gives "now" and owns the instance.
class ReplayGuard
{
public:
    struct Limits
    {
        qsizetype maxKeys = 1024;
        qsizetype countersPerKey = 64; // how far out of order a datagram may come
        qint64 windowSeconds = 300;
    };
    enum Result { Fresh, Stale, Replayed };

    ReplayGuard() : ReplayGuard(Limits{}) {}
    // Each limit at least 1.
    explicit ReplayGuard(const Limits& limits);

    // Whether a datagram with this key, time and counter may be taken now;
    // changes nothing.
    Result check(const PublicKey& key, qint64 time, quint64 counter, qint64 now) const;
    // Remembers a datagram taken (after its signature was checked: a forged
    // one must not move what a key may send).
    void remember(const PublicKey& key, qint64 time, quint64 counter, qint64 now);

    // Whether a datagram of the key was taken and is still remembered.
    bool knows(const PublicKey& key) const;

    // What it remembers, to be kept in a file over the program's end.
    QByteArray save() const;
    // Takes what save gave; false, remembering nothing, when the bytes are
    // not such (a damaged file): what is beyond the limits is dropped.
    bool load(const QByteArray& bytes);
    qsizetype keysRemembered() const { return m_keys.size(); }
    const Limits& limits() const { return m_limits; }

private:
    struct Seen
    {
        std::vector<quint64> counters; // ascending, at most countersPerKey
        qint64 latestTime = std::numeric_limits<qint64>::min();
        // Times up to this one may be of datagrams taken before the key was
        // last pushed out.
        qint64 forgottenUpTo = std::numeric_limits<qint64>::min();
        quint64 lastUse = 0; // the order in which keys were last taken
    };

    void makeRoom(qint64 now);

    Limits m_limits;
    QHash<QByteArray, Seen> m_keys;
    quint64 m_uses = 0;
    // The latest time of a key pushed out while still fresh.
    qint64 m_forgottenUpTo = std::numeric_limits<qint64>::min();
};
