// Prints the time of the next occurrence of 100,000 Hebrew-yearly reminders
// (target under 1 s) and of a year's days off once computed (target under
// 1 ms), with the first computation of a year, ICU asked afresh, for comparison.

#include "calendar/HebrewRecurrence.h"
#include "calendar/IsraeliDaysOff.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kReminders = 100000;

struct Reminder
{
    Date current;
    HebrewAnchor anchor;
};

// Reminders started on random days (and minutes) of the given number of
// years before now, each still at its first occurrence.
std::vector<Reminder> reminders(const Date& now, int yearsBack)
{
    QRandomGenerator random(34);
    std::vector<Reminder> list;
    list.reserve(kReminders);
    for (int i = 0; i < kReminders; ++i) {
        const Date start = now.addMinutes(-qint64(random.bounded(yearsBack * 365 * 1440)));
        list.push_back({start, hebrewAnchorOf(start.date())});
    }
    return list;
}

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void print(const char* what, double ms, const char* target)
{
    std::printf("%-64s %10.4f ms  (target %s)\n", what, ms, target);
}

qint64 benchYearly(const Date& now, int yearsBack, const char* what)
{
    const std::vector<Reminder> list = reminders(now, yearsBack);
    qint64 checksum = 0;
    const double ms = medianMs(5, [&] {
        for (const Reminder& r : list)
            checksum += nextHebrewYearly(r.current, r.anchor, 1, now).totalSeconds();
    });
    print(what, ms, "under 1000 ms");
    return checksum;
}

} // namespace

int main()
{
    const Date now = Date::fromParts(2026, 7, 5, 12, 0, 30);
    qint64 checksum = 0;
    checksum += benchYearly(now, 1, "next of 100,000 Hebrew-yearly reminders, last within a year");
    checksum += benchYearly(now, 10, "next of 100,000 Hebrew-yearly reminders, 10 years missed");

    // A year the reminders above did not touch: ICU is asked for its months.
    constexpr int kYear = 2150;
    QElapsedTimer first;
    first.start();
    checksum += israeliDaysOff(kYear).size();
    print("days off of a year, first call (computed)", double(first.nsecsElapsed()) / 1e6, "none");
    constexpr int kCalls = 1000;
    const double cached = medianMs(5, [&] {
        for (int i = 0; i < kCalls; ++i)
            checksum += israeliDaysOff(kYear).size();
    });
    print("days off of a year once cached, 1,000 calls", cached, "under 1 ms a call");
    const double dayTests = medianMs(5, [&] {
        for (QDate d(kYear, 1, 1); d.year() == kYear; d = d.addDays(1))
            checksum += isIsraeliDayOff(d);
    });
    print("isIsraeliDayOff for every day of a cached year (365 calls)", dayTests, "none");
    return checksum > 0 ? 0 : 1;
}
