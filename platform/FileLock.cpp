#include "platform/FileLock.h"

#include "platform/Failure.h"

#include <QDeadlineTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// One attempt without blocking; errno tells why it failed.
bool tryLock(int fd)
{
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

FileLock::FileLock(const QString& path, std::chrono::milliseconds patience)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0)
        throw Failure(QStringLiteral("cannot open %1: %2").arg(path, systemError(errno)));
    // flock has no timed wait: poll, with pauses growing from 1 to 50 ms, so a
    // holder that stops for good costs the caller the patience and no more.
    const QDeadlineTimer deadline(patience);
    std::chrono::milliseconds pause(1);
    while (!tryLock(m_fd)) {
        const int error = errno;
        if (error != EWOULDBLOCK || deadline.hasExpired()) {
            ::close(m_fd);
            throw Failure(error == EWOULDBLOCK
                              ? QStringLiteral("%1 is held by another process").arg(path)
                              : QStringLiteral("cannot lock %1: %2").arg(path, systemError(error)));
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::nanoseconds>(pause, deadline.remainingTimeAsDuration()));
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

FileLock::~FileLock()
{
    ::close(m_fd); // releases the lock
}
