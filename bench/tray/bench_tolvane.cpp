// Prints Tolvane's start-up time to a visible tray icon and its resident
// memory and CPU use while idle; asserts nothing.
#include "tests/support/E2eSession.h"
#include "tests/support/XDesktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

struct Usage
{
    double cpuSeconds = 0;
    double residentMb = 0;
};

// utime + stime from /proc/<pid>/stat, VmRSS from /proc/<pid>/status.
Usage usageOf(qint64 pid)
{
    Usage u;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            u.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / ::sysconf(_SC_CLK_TCK);
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& l : status.readAll().split('\n'))
            if (l.startsWith("VmRSS:"))
                u.residentMb = l.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return u;
}

// Starts Tolvane and gives the milliseconds until its icon is docked, -1 on time-out.
qint64 startToIcon(E2eSession& session, const XDesktop& desktop, QProcess** process)
{
    QElapsedTimer clock;
    clock.start();
    *process = session.startProgram(QStringLiteral("Tolvane"));
    while (desktop.trayIcons(QStringLiteral("Tolvane")).isEmpty()) {
        if (clock.elapsed() > 30000)
            return -1;
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return clock.elapsed();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? QByteArray(argv[1]).toInt() : 300;

    XDesktop desktop;
    QString error;
    if (!desktop.start(true, &error)) {
        std::printf("cannot start the desktop: %s\n", qPrintable(error));
        return 1;
    }
    E2eOptions options;
    options.environment.insert(QStringLiteral("DISPLAY"), desktop.display());
    E2eSession session(options);
    if (!session.isReady()) {
        std::printf("cannot set up the session: %s\n", qPrintable(session.error()));
        return 1;
    }

    QProcess* tolvane = nullptr;
    const qint64 firstStart = startToIcon(session, desktop, &tolvane);
    tolvane->kill();
    tolvane->waitForFinished();
    E2eSession::waitFor([&] { return desktop.trayIcons(QStringLiteral("Tolvane")).isEmpty(); });
    const qint64 secondStart = startToIcon(session, desktop, &tolvane);
    std::printf("start to tray icon, fresh installation (registers Kalvex): %lld ms\n",
                static_cast<long long>(firstStart));
    std::printf("start to tray icon, Kalvex registered:                  %lld ms\n",
                static_cast<long long>(secondStart));

    const qint64 pid = tolvane->processId();
    const Usage before = usageOf(pid);
    QElapsedTimer idle;
    idle.start();
    double peakMb = before.residentMb;
    while (idle.elapsed() < idleSeconds * 1000LL) {
        E2eSession::waitFor([] { return false; }, 1000);
        peakMb = qMax(peakMb, usageOf(pid).residentMb);
    }
    const Usage after = usageOf(pid);
    const double cpuPercent =
        100.0 * (after.cpuSeconds - before.cpuSeconds) / (double(idle.elapsed()) / 1000.0);
    std::printf("idle %d s: resident memory %.1f MB (peak %.1f MB, target < 40 MB)\n", idleSeconds,
                after.residentMb, peakMb);
    std::printf("idle %d s: CPU %.3f%% of one core (target < 0.1%%)\n", idleSeconds, cpuPercent);
    return 0;
}
