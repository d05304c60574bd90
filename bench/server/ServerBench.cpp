// Prints how long a CheckList call takes to bring up the first alert window:
// with Kalvex not running (the bus starts it) and with it running.
// Run: cmake --build <build> --target run_kv_server_bench

#include "common/KalvexBus.h"
#include "platform/Clock.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/WindowsShown.h"

#include <QApplication>
#include <QDBusPendingCall>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kColdRuns = 10;
constexpr int kWarmRuns = 30;

struct Bench
{
    E2eSession& s;
    WindowsShown shown{s.bus()};
    std::unique_ptr<KalvexKVClassInterface> kalvex = kalvexOn<KalvexKVClassInterface>(s.bus());
    qint32 reminder = 0;

    void makeDue()
    {
        const double past = Clock::now().addMinutes(-5).serial();
        s.scalarSql(QStringLiteral(
                        "UPDATE Main_tbl SET RActive = 1, RNext = ?, RDate = ? WHERE RMain_Id = ?"),
                    {past, past, reminder});
    }
    // Milliseconds from the call to the first alert shown; -1 when none came.
    double checkListToAlert()
    {
        makeDue();
        shown.seen.clear();
        QElapsedTimer timer;
        timer.start();
        kalvex->CheckList();
        const bool seen = E2eSession::waitFor(
            [&] { return shown.firstAtMs(QStringLiteral("Remind")) != 0; }, 10000);
        const double ms = timer.nsecsElapsed() / 1e6;
        runningKalvexOn<KalvexKVClassDebugInterface>(s.bus())
            ->CloseWindows(QStringLiteral("Remind"))
            .waitForFinished();
        return seen ? ms : -1;
    }
    bool waitUntilEnded()
    {
        return E2eSession::waitFor([&] { return !s.hasOwner(KalvexBus::serviceName); }, 15000);
    }
};

void report(const char* what, QList<double> ms, double target)
{
    std::sort(ms.begin(), ms.end());
    if (ms.isEmpty() || ms.first() < 0) {
        std::printf("%-44s failed (no alert window)\n", what);
        return;
    }
    std::printf("%-44s median %7.1f ms  min %7.1f  max %7.1f  (%lld runs)  target < %.0f ms\n",
                what, ms[ms.size() / 2], ms.first(), ms.last(), qlonglong(ms.size()), target);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    E2eSession session;
    if (!session.registerKalvex()) {
        std::printf("cannot set up: %s\n", qPrintable(session.error()));
        return 1;
    }
    Bench bench{session};
    bench.reminder = session.addReminder(Clock::now(), QStringLiteral("מדידה"));

    QList<double> cold;
    for (int i = 0; i < kColdRuns; ++i) {
        cold << bench.checkListToAlert();
        if (!bench.waitUntilEnded())
            break;
    }
    report("CheckList -> first alert, Kalvex not running", cold, 300);

    // The about box keeps Kalvex running between the checks.
    bench.kalvex->ShowAbout().waitForFinished();
    QList<double> warm;
    for (int i = 0; i < kWarmRuns; ++i) {
        warm << bench.checkListToAlert();
        E2eSession::waitFor([&] {
            return !session.scalarSql(QStringLiteral("SELECT RActive FROM Main_tbl")).toBool();
        });
    }
    report("CheckList -> first alert, Kalvex running", warm, 50);
    return 0;
}
