#include "tray/ReminderFileWatch.h"

#include "common/ReminderFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr off_t kChangeCounterOffset = 24;

std::optional<quint32> changeCounter(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    unsigned char bytes[4];
    const ssize_t read = ::pread(fd, bytes, sizeof bytes, kChangeCounterOffset);
    ::close(fd);
    if (read != ssize_t(sizeof bytes))
        return std::nullopt;
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

} // namespace

ReminderFileWatch::ReminderFileWatch() : m_seen(markNow()) {}

ReminderFileWatch::Mark ReminderFileWatch::markNow()
{
    const QByteArray path = QFile::encodeName(reminderDbPath());
    Mark mark;
    mark.changeCounter = changeCounter(path);
    struct stat wal = {};
    if (::stat((path + "-wal").constData(), &wal) == 0) {
        mark.walBytes = wal.st_size;
        mark.walModifiedNs = qint64(wal.st_mtim.tv_sec) * 1000000000 + wal.st_mtim.tv_nsec;
    }
    return mark;
}

bool ReminderFileWatch::changed()
{
    const Mark now = markNow();
    if (now == m_seen)
        return false;
    m_seen = now;
    return true;
}
