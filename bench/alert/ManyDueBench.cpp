// Prints what 300 reminders due at once make of Kalvex, and then 300 past-due copies
// received over the LAN from as many invented authors: the windows shown, Kalvex's resident
// memory before and after, and how long one "סגור הכל" / "דחה הכל" takes for all of them.
// Asserts nothing. Run: cmake --build <build> --target run_kv_many_due_bench
// (or bench/bin/kv_many_due_bench [reminders] with KV_PROGRAM_BUILD_DIR set).
#include "platform/Clock.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/XDesktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

double residentMb(qint64 pid)
{
    for (const QByteArray& line : fileBytes(QStringLiteral("/proc/%1/status").arg(pid)).split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// A past-due daily copy shared by an author of its own.
LanDatagram copyFrom(int author, const Date& due)
{
    const QString when = formatNextDate(due);
    return {
        QStringLiteral("127.0.0.2"),
        QStringLiteral("127.0.0.2\tUPD\tALL\t%1\tמהרשת %1\t%2\t1\t5\t\tTrue\t2\t1\tFalse\t0\t0\t0"
                       "\t%2\tTrue\tp%1\t")
            .arg(author + 1)
            .arg(when)};
}

struct Bench
{
    E2eSession& s;
    int reminders;

    std::unique_ptr<KalvexKVClassAlertsInterface> alerts() const
    {
        return runningKalvexOn<KalvexKVClassAlertsInterface>(s.bus());
    }
    int count() const { return answered(alerts()->Count()).value(); }
    QStringList windows() const
    {
        return answered(runningKalvexOn<KalvexKVClassDebugInterface>(s.bus())->Windows()).value();
    }
    int dueRows() const
    {
        return s
            .scalarSql(QStringLiteral("SELECT COUNT(*) FROM Main_tbl WHERE RActive = 1 AND "
                                      "RNext < ?"),
                       {Clock::now().serial()})
            .toInt();
    }

    // CheckList, then the figures once every due reminder is shown; then one action for all.
    void showAndHandle(const char* what, bool postpone)
    {
        const qint64 pid = s.ownerPid(KalvexBus::serviceName);
        const double before = residentMb(pid);
        QElapsedTimer clock;
        clock.start();
        answered(kalvexOn<KalvexKVClassInterface>(s.bus())->CheckList());
        const bool all = E2eSession::waitFor([&] { return count() >= reminders; }, 120000);
        const qint64 shownMs = clock.elapsed();
        E2eSession::waitFor([] { return false; }, 1000); // drawn and settled
        const double after = residentMb(pid);
        const QStringList shown = windows();
        std::printf("%s: %d shown%s in %lld ms; windows: %lld alert windows, %lld lists\n", what,
                    count(), all ? "" : " (not all)", qlonglong(shownMs),
                    qlonglong(shown.count(QStringLiteral("Remind"))),
                    qlonglong(shown.count(QStringLiteral("AlertList"))));
        std::printf("%s: Kalvex resident memory %.1f MB before, %.1f MB with them shown\n", what,
                    before, after);
        clock.restart();
        answered(postpone ? alerts()->PostponeAll() : alerts()->CloseAll());
        const bool handled = E2eSession::waitFor([&] { return count() == 0; }, 120000);
        std::printf("%s: one %s: %lld ms until none is shown%s; %d still due; %.1f MB after\n",
                    what, postpone ? "PostponeAll" : "CloseAll", qlonglong(clock.elapsed()),
                    handled ? "" : " (not all)", dueRows(), residentMb(pid));
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int reminders = argc > 1 ? QByteArray(argv[1]).toInt() : 300;
    XDesktop desktop;
    QString error;
    if (!desktop.start(false, &error)) {
        std::printf("cannot start the desktop: %s\n", qPrintable(error));
        return 1;
    }
    E2eOptions options;
    options.environment.insert(QStringLiteral("DISPLAY"), desktop.display());
    E2eSession session(options);
    if (!session.registerKalvex()) {
        std::printf("cannot set up: %s\n", qPrintable(session.error()));
        return 1;
    }
    const Date now = Clock::now();
    for (int i = 0; i < reminders; ++i)
        session.addReminder(now.addDays(-3).addMinutes(i), QStringLiteral("אחרי חופשה %1").arg(i));
    // The about box keeps Kalvex running from one step to the next.
    auto kalvex = kalvexOn<KalvexKVClassInterface>(session.bus());
    answered(kalvex->ShowAbout());
    Bench bench{session, reminders};
    bench.showAndHandle("due at once", false);

    session.setIniValue(QStringLiteral("LAN_Settings"), QStringLiteral("OptReceive"),
                        QStringLiteral("1"));
    QList<LanDatagram> copies;
    for (int i = 0; i < reminders; ++i)
        copies << copyFrom(i, now.addDays(-1).addMinutes(i));
    answered(kalvex->MsgProcessBatch(copies));
    const int stored = session
                           .scalarSql(QStringLiteral("SELECT COUNT(*) FROM Main_tbl WHERE "
                                                     "IAMAuthor = 0"))
                           .toInt();
    std::printf("LAN copies stored: %d of %d\n", stored, reminders);
    bench.showAndHandle("LAN copies", true);
    return 0;
}
