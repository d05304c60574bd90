// Prints how long after a reminder falls due its alert window is shown, with
// the real Tolvane asking the real Kalvex, over reminders due at whole
// minutes (as the editor and postponements set them) with Tolvane's
// 10-second tick at a different phase for each. "Falls due" is the due
// minute itself (the checks compare to the millisecond). By default
// Kalvex has ended between the alerts, as it does when idle; with "running"
// an about box keeps it up. Asserts nothing.
#include "platform/Clock.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/WindowsShown.h"

#include <QApplication>
#include <QDateTime>
#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace {

qint64 epochMs(const Date& d)
{
    return d.toQDateTime().toMSecsSinceEpoch();
}

struct Trial
{
    E2eSession& s;
    WindowsShown& shown;

    // Starts Tolvane so that its ticks fall phaseMs after the due moment
    // (modulo the tick), waits for the alert and gives the milliseconds from
    // the due moment to the alert shown, or nullopt when none came.
    std::optional<qint64> run(const Date& minute, qint64 phaseMs)
    {
        const Date due = minute;
        s.addReminder(minute, QStringLiteral("on time"));
        const qint64 startAt = epochMs(due) - 20000 + phaseMs;
        E2eSession::waitFor([&] { return QDateTime::currentMSecsSinceEpoch() >= startAt; }, 70000);
        QProcess* tolvane = s.startProgram(QStringLiteral("Tolvane"));
        shown.seen.clear();
        const bool seen =
            E2eSession::waitFor([&] { return shown.firstAtMs("Remind") != 0; }, 40000);
        tolvane->kill();
        tolvane->waitForFinished();
        runningKalvexOn<KalvexKVClassDebugInterface>(s.bus())
            ->CloseWindows(QStringLiteral("Remind"))
            .waitForFinished();
        if (!seen)
            return std::nullopt;
        return shown.firstAtMs("Remind") - epochMs(due);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int reminders = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    const bool keepKalvex = argc > 2 && QByteArray(argv[2]) == "running";

    E2eOptions options;
    // No tray here: Tolvane carries on without its icon.
    options.environment.insert(QStringLiteral("KV_PROMPT_ANSWER"), QStringLiteral("Ignore"));
    E2eSession session(options);
    if (!session.registerKalvex()) {
        std::printf("cannot set up: %s\n", qPrintable(session.error()));
        return 1;
    }
    if (keepKalvex)
        kalvexOn<KalvexKVClassInterface>(session.bus())->ShowAbout().waitForFinished();

    WindowsShown shown(session.bus());
    Trial trial{session, shown};

    QList<qint64> ms;
    int missed = 0;
    Date minute = Clock::now().withoutSeconds().addMinutes(1);
    for (int i = 0; i < reminders; ++i) {
        // Tolvane needs a few seconds to start before its first tick.
        while (Clock::msecsUntil(minute) < 22000)
            minute = minute.addMinutes(1);
        const qint64 phaseMs = 10000LL * i / reminders;
        const std::optional<qint64> latency = trial.run(minute, phaseMs);
        if (latency)
            ms << *latency;
        else
            ++missed;
        std::printf("  due %s, tick phase %5.1f s: %s\n", qPrintable(formatLogStamp(minute)),
                    phaseMs / 1000.0,
                    latency ? qPrintable(QStringLiteral("%1 ms").arg(*latency)) : "no alert");
        std::fflush(stdout);
        minute = minute.addMinutes(1);
    }
    std::sort(ms.begin(), ms.end());
    if (ms.isEmpty()) {
        std::printf("no alert came\n");
        return 1;
    }
    std::printf("due -> alert shown, Kalvex %s: median %lld ms  min %lld  max %lld  (%lld "
                "reminders, %d without alert)  target median < 100 ms, max < 500 ms\n",
                keepKalvex ? "running" : "ended between alerts", qlonglong(ms[ms.size() / 2]),
                qlonglong(ms.first()), qlonglong(ms.last()), qlonglong(ms.size()), missed);
    return 0;
}
