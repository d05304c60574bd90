// Prints how long 1,000 AddReminder calls in a row take against the real Kalvex on a
// private bus, with the manager window open, and how the window and NextDate follow them.
// The calls are sent as a program sends them (all at once, then the answers collected) and
// one by one, each waiting for its answer (as a shell loop does): every answer waits for
// the synced commit of its reminder, and Kalvex commits all the calls of one turn at once.
// Each due later than the last, or each earlier (every call moves the next due time).
// Run: cmake --build <build> --target run_kv_add_reminder_bench

#include "platform/Clock.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCalls = 1000;
constexpr double kTargetMs = 2000;

struct Bench
{
    E2eSession& s;
    std::unique_ptr<KalvexKVClassInterface> kalvex = kalvexOn<KalvexKVClassInterface>(s.bus());
    std::unique_ptr<KalvexKVClassDebugInterface> debug =
        kalvexOn<KalvexKVClassDebugInterface>(s.bus());
    Date earliest = Date::fromParts(9999, 1, 1); // of all reminders added

    int listed() { return int(debug->ListedIds().value().size()); }
    int refreshes() { return debug->ListRefreshes().value(); }

    QDBusPendingCall add(int i, const Date& due)
    {
        return kalvex->AddReminder(QStringLiteral("מדידה %1").arg(i), formatIsoMinute(due),
                                   QString(), 0, 5, QString());
    }

    // One burst; the first due is start, each next one step minutes on.
    void burst(const char* what, const Date& start, int step, bool pipelined)
    {
        const int listedBefore = listed();
        const int refreshesBefore = refreshes();
        earliest =
            std::min(earliest, step > 0 ? start : start.addMinutes(qint64(step) * (kCalls - 1)));
        int failed = 0;
        QElapsedTimer timer;
        timer.start();
        QList<QDBusPendingCall> pending;
        for (int i = 0; i < kCalls; ++i) {
            QDBusPendingCall call = add(i, start.addMinutes(qint64(step) * i));
            if (pipelined) {
                pending << call;
            } else {
                call.waitForFinished();
                failed += call.isError();
            }
        }
        for (QDBusPendingCall& call : pending) {
            call.waitForFinished();
            failed += call.isError();
        }
        const double callsMs = timer.nsecsElapsed() / 1e6;
        const bool published = E2eSession::waitFor(
            [&] { return s.iniValue("Reminder", "NextDate") == formatNextDate(earliest); });
        const double publishedMs = timer.nsecsElapsed() / 1e6 - callsMs;
        const bool followed =
            E2eSession::waitFor([&] { return listed() == listedBefore + kCalls; }, 20000);
        const double followedMs = timer.nsecsElapsed() / 1e6 - callsMs;
        std::printf("%s\n", what);
        std::printf("  %d AddReminder calls in a row   %8.1f ms  (%.2f ms a call, %d failed)  "
                    "target < %.0f ms\n",
                    kCalls, callsMs, callsMs / kCalls, failed, kTargetMs);
        std::printf("  NextDate current               %s %6.1f ms after the last call\n",
                    published ? "   " : "NOT", publishedMs);
        std::printf("  manager list shows all         %s %6.1f ms after the last call, "
                    "%d list refreshes\n",
                    followed ? "   " : "NOT", followedMs, refreshes() - refreshesBefore);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    E2eSession session;
    if (!session.registerKalvex()) {
        std::printf("cannot set up: %s\n", qPrintable(session.error()));
        return 1;
    }
    Bench bench{session};
    bench.kalvex->ShowList(0).waitForFinished(); // keeps Kalvex running
    const Date tomorrow = Clock::now().withoutSeconds().addDays(1);
    bench.burst("All at once, each due later than the last:", tomorrow, 1, true);
    bench.burst("All at once, each due earlier than the last:", tomorrow.addMinutes(-1), -1, true);
    bench.burst("One by one, each due later than the last:", tomorrow.addDays(1), 1, false);
    return 0;
}
