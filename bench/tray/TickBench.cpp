// Prints what Tolvane's 10-second tick costs with the look for another program's change of
// the database (ReminderFileWatch): on a database of 100,000 reminders, unchanged and just
// changed (without the call that then asks Kalvex to publish again), beside the tick's
// reading of the published time. Target: a tick < 1 ms.
// Asserts nothing. In process, on a program directory of its own.
#include "common/Ini.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "tests/support/TempProgramDir.h"
#include "tray/ReminderFileWatch.h"
#include "tray/modMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kTicks = 2000;

void fill(const QString& path)
{
    auto db = openOrCreateDb(path);
    Transaction t(*db);
    for (int i = 0; i < kRows; ++i)
        db->execute(
            QStringLiteral("INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, "
                           "RImportance, REventType, RActive) VALUES (?, ?, ?, ?, 0, 5, 1)"),
            {QStringLiteral("תזכורת %1").arg(i), QStringLiteral("פרטים ").repeated(20), 50000.0 + i,
             50000.0 + i});
    t.commit();
}

// Microseconds a tick's work takes: median, 99th percentile and worst of kTicks, each between two
// commits of another connection when changed is set.
void report(const char* what, bool changed, bool withNextDate)
{
    ReminderFileWatch watch;
    auto other = Database::open(reminderDbPath());
    QList<double> us;
    int seen = 0;
    for (int i = 0; i < kTicks; ++i) {
        if (changed)
            other->execute(QStringLiteral("UPDATE Main_tbl SET RImportance = ? WHERE RMain_Id = 1"),
                           {i % 3});
        QElapsedTimer clock;
        clock.start();
        seen += watch.changed();
        if (withNextDate)
            modMain::CheckNextDate();
        us << clock.nsecsElapsed() / 1000.0;
    }
    std::sort(us.begin(), us.end());
    std::printf("%-52s median %6.1f us  99%% %7.1f us  max %8.1f us  (%d ticks, %d saw a "
                "change)  target < 1000 us\n",
                what, us[us.size() / 2], us[us.size() * 99 / 100], us.last(), kTicks, seen);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TempProgramDir dir;
    fill(reminderDbPath());
    WriteIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"),
             QStringLiteral("311220992359"));
    std::printf("database of %d reminders: %.1f MB\n", kRows,
                QFileInfo(reminderDbPath()).size() / 1048576.0);
    report("change check alone, database unchanged", false, false);
    report("change check alone, a commit before every tick", true, false);
    report("tick (change check + published time), unchanged", false, true);
    report("tick (change check + published time), changed", true, true);
    return 0;
}
