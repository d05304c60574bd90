// Prints how long after a reminder falls due its alert window is shown, with
// the real Tolvane asking the real Kalvex, over reminders due at whole
// minutes (as the editor and postponements set them) with Tolvane's
// 10-second tick at a different phase for each. "Falls due" is the due
// minute itself (the checks compare to the millisecond). By default
// Kalvex has ended between the alerts, as it does when idle; with "running"
// an about box keeps it up. With "sqlite" another program adds each reminder
// (the sqlite3 shell, 25 s before it falls due) while Tolvane runs, Kalvex has
// ended and the time published is 40 minutes ahead. Asserts nothing.
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

enum class Mode { KalvexEnded, KalvexRunning, SqliteRow };

constexpr qint64 kSqliteLeadMs = 25000;

qint64 epochMs(const Date& d)
{
    return d.toQDateTime().toMSecsSinceEpoch();
}

void waitUntil(qint64 epochMs)
{
    E2eSession::waitFor([&] { return QDateTime::currentMSecsSinceEpoch() >= epochMs; }, 70000);
}

struct Trial
{
    E2eSession& s;
    WindowsShown& shown;
    Mode mode;

    bool addWithSqlite3(const Date& due)
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"),
                    {s.programFile(QStringLiteral("KV_Data.mdb")),
                     QStringLiteral("INSERT INTO Main_tbl (RCaption, RDate, RNext, RImportance, "
                                    "REventType, RActive) VALUES ('on time', %1, %1, 0, 0, 1);")
                         .arg(due.serial(), 0, 'g', 17)});
        return shell.waitForFinished(10000) && shell.exitCode() == 0;
    }

    // Starts Tolvane so that its ticks fall phaseMs after the due moment
    // (modulo the tick), waits for the alert and gives the milliseconds from
    // the due moment to the alert shown, or nullopt when none came.
    std::optional<qint64> run(const Date& due, qint64 phaseMs)
    {
        const bool sqlite = mode == Mode::SqliteRow;
        if (sqlite) // keeps the time published 40 minutes ahead
            s.addReminder(due.addMinutes(40), QStringLiteral("later"));
        else
            s.addReminder(due, QStringLiteral("on time"));
        waitUntil(epochMs(due) - (sqlite ? 40000 : 20000) + phaseMs);
        QProcess* tolvane = s.startProgram(QStringLiteral("Tolvane"));
        if (sqlite) {
            E2eSession::waitFor([&] { return s.hasOwner(KalvexBus::serviceName); });
            E2eSession::waitFor([&] { return !s.hasOwner(KalvexBus::serviceName); });
            waitUntil(epochMs(due) - kSqliteLeadMs);
        }
        shown.seen.clear();
        const bool seen = (!sqlite || addWithSqlite3(due)) &&
                          E2eSession::waitFor([&] { return shown.firstAtMs("Remind") != 0; },
                                              sqlite ? 60000 : 40000);
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
    const QByteArray modeName = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    const Mode mode = modeName == "running"  ? Mode::KalvexRunning
                      : modeName == "sqlite" ? Mode::SqliteRow
                                             : Mode::KalvexEnded;

    E2eOptions options;
    // No tray here: Tolvane carries on without its icon.
    options.environment.insert(QStringLiteral("KV_PROMPT_ANSWER"), QStringLiteral("Ignore"));
    E2eSession session(options);
    if (!session.registerKalvex()) {
        std::printf("cannot set up: %s\n", qPrintable(session.error()));
        return 1;
    }
    if (mode == Mode::KalvexRunning)
        kalvexOn<KalvexKVClassInterface>(session.bus())->ShowAbout().waitForFinished();

    WindowsShown shown(session.bus());
    Trial trial{session, shown, mode};

    QList<qint64> ms;
    int missed = 0;
    Date minute = Clock::now().withoutSeconds().addMinutes(1);
    for (int i = 0; i < reminders; ++i) {
        // Tolvane needs a few seconds to start before its first tick.
        while (Clock::msecsUntil(minute) < (mode == Mode::SqliteRow ? 42000 : 22000))
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
    const char* what = mode == Mode::KalvexRunning ? "Kalvex running"
                       : mode == Mode::SqliteRow   ? "row added by sqlite3 25 s ahead, Kalvex ended"
                                                   : "Kalvex ended between alerts";
    const char* target =
        mode == Mode::SqliteRow ? "max < 10000 ms" : "median < 100 ms, max < 500 ms";
    std::printf("due -> alert shown, %s: median %lld ms  min %lld  max %lld  (%lld reminders, %d "
                "without alert)  target %s\n",
                what, qlonglong(ms[ms.size() / 2]), qlonglong(ms.first()), qlonglong(ms.last()),
                qlonglong(ms.size()), missed, target);
    return 0;
}
