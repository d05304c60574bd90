// Prints the time of CheckRemind and PublishNextDate on 100,000 reminders (10
// due) and of NextByPeriod for a one-minute series ten years overdue.

#include "common/Ini.h"
#include "common/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/ProgramDir.h"
#include "scheduling/CheckRemind.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/Recurrence.h"
#include "scheduling/ShownAlerts.h"
#include "store/ReminderDb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kReminders = 100000;
constexpr int kDue = 10;

// Every third reminder is inactive and long past; the rest are active and due
// later, except kDue that are past due.
void fillTable(const Date& now)
{
    const auto db = OpenReminderDb();
    db->execute(QStringLiteral(
                    "INSERT INTO Main_tbl (RCaption, RDate, RNext, RActive, REventType) "
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?1) "
                    "SELECT 'r' || i, ?2 + (i - 1) * 0.0007, ?2 + (i - 1) * 0.0007, i % 3 <> 0, 5 "
                    "FROM n"),
                {kReminders, now.serial() + 1});
    db->execute(QStringLiteral("UPDATE Main_tbl SET RDate = RDate - 365, RNext = RNext - 365 "
                               "WHERE RActive = 0 OR RMain_Id IN (SELECT RMain_Id FROM Main_tbl "
                               "WHERE RActive = 1 ORDER BY RMain_Id LIMIT ?)"),
                {kDue});
}

struct Figures
{
    double medianMs;
    double maxMs;
};

Figures measure(int runs, const std::function<void()>& before, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        before();
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void print(const char* what, const Figures& f, const char* target)
{
    std::printf("%-58s median %9.4f ms, max %9.4f ms  (target %s)\n", what, f.medianMs, f.maxMs,
                target);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path());
    const Date now = Date::fromParts(2026, 7, 5, 12, 0, 30);
    Clock::setNow(now);
    fillTable(now);

    QList<qint32> opened;
    setAlertOpener([&](qint32 id) { opened << id; });
    const auto closeAll = [&] {
        for (qint32 id : opened)
            UnmarkShown(id);
        opened.clear();
    };
    CheckRemind(); // warms the file cache
    std::printf("CheckRemind opened %lld alerts of %d reminders\n", qlonglong(opened.size()),
                kReminders);
    print("CheckRemind, 100,000 reminders, 10 due", measure(50, closeAll, CheckRemind), "< 20 ms");

    // Publication with the ten due reminders on screen, so it passes over them.
    CheckRemind();
    print("PublishNextDate, 100,000 reminders, 10 alerts open, same value",
          measure(
              50, [] {}, PublishNextDate),
          "< 20 ms");
    // An alert opening or closing between runs: the published value changes each time.
    const qint32 last = opened.last();
    const auto toggleLast = [&] { IsShown(last) ? UnmarkShown(last) : void(MarkShown(last)); };
    print("PublishNextDate, 100,000 reminders, value changing",
          measure(50, toggleLast, PublishNextDate), "< 20 ms");
    const auto rewrite = [] {
        WriteIni(SettingsKeys::reminderSection, SettingsKeys::nextDate, SettingsKeys::noNextDate);
    };
    print("  of which the settings-file rewrite (WriteIni)",
          measure(
              50, [] {}, rewrite),
          "-");

    const Date tenYearsLate = Date::fromParts(2016, 7, 5, 11, 59, 45);
    Date result;
    const auto minuteSeries = [&] { result = NextByPeriod(tenYearsLate, Date::Minute, 1); };
    print("NextByPeriod, one-minute series ten years overdue",
          measure(
              1000, [] {}, minuteSeries),
          "< 1 ms");
    std::printf("  gives %s\n", qPrintable(formatDateTime(result)));
    return 0;
}
