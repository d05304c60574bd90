#include "platform/ProcessWait.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Gone, or ended and waiting as a zombie for a parent that is not us.
bool processGone(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const int afterName = line.lastIndexOf(')');
    return afterName >= 0 && line.mid(afterName + 2, 1) == "Z";
}

} // namespace

bool waitForProcessEnd(qint64 pid, int timeoutMs)
{
    // A process descriptor becomes readable when the process ends.
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd >= 0) {
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        ::close(fd);
        return ready > 0;
    }
    // Kernels before 5.3 have no process descriptors.
    const QDeadlineTimer deadline(timeoutMs);
    while (!processGone(pid)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}
