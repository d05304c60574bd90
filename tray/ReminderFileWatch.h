#pragma once

#include <QtGlobal>

#include <optional>

// Whether the reminder database has changed since the last look, cheaply
// enough for every tick of a program that never opens it: SQLite raises the
// file change counter of the database header (4 big-endian bytes at offset
// 24) with every commit, and writes a client makes in WAL mode show in the
// "-wal" file beside it. One pread of 4 bytes and one stat; never the rows.
// Kalvex's own writes count as changes too.
class ReminderFileWatch
{
public:
    ReminderFileWatch(); // the file as it stands now counts as seen

    // True when the file differs from what was seen last; what it is now
    // becomes what was seen. A file that appears or goes counts as a change.
    bool changed();

    struct Mark
    {
        std::optional<quint32> changeCounter; // none while the file has no header
        qint64 walBytes = -1;                 // -1 without a "-wal" file
        qint64 walModifiedNs = 0;
        bool operator==(const Mark&) const = default;
    };
    static Mark markNow();

private:
    Mark m_seen;
};
