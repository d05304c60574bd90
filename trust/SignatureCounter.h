#pragma once

#include <QString>

// Counters reserved at a time: a write per this many signed datagrams.
inline constexpr quint64 kCounterBlock = 1 << 20;

// The counter of the datagrams an installation signs: strictly increasing
// over the installation's life, so a receiver can tell a repeated datagram.
// Counters are taken in blocks whose end is written to a file (beside the
// key) before the first of them is used: a restart goes on after the last
// block, even when the clock was set back meanwhile. A block also starts no
// lower than the clock's microseconds since 1970, so a lost or unreadable
// file costs nothing while the clock is right (the file is then written
// anew). Both programs of an installation sign with its key and share the
// file: a block is reserved under a lock (the file's name with ".lock"), so
// no two blocks overlap. A receiver tells a counter older than all it
// remembers of a key as replayed, so a process that signs rarely reserves
// blocks of one (block 1): each of its counters then lies above every one
// the other process has used.
class SignatureCounter
{
public:
    explicit SignatureCounter(const QString& path, quint64 block = kCounterBlock)
        : m_path(path), m_block(block < 1 ? 1 : block)
    {}
    // The next counter. Throws Failure, in Hebrew, when a new block cannot be
    // written down.
    quint64 next();

private:
    QString m_path;
    quint64 m_block;
    quint64 m_next = 0;
    quint64 m_end = 0; // the end of the block in use (exclusive); 0 before the first
};
