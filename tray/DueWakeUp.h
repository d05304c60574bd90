#pragma once

#include "platform/Date.h"

#include <QElapsedTimer>
#include <QObject>

class QFileSystemWatcher;
class QTimer;
class WallClockWatch;

// The precise wake-up beside the 10-second tick: when the published next due
// time falls due before the next tick, a single-shot timer (TimerDue) runs the
// timer work at the first moment it has passed, so the alert comes within
// milliseconds instead of up to a tick later. It is armed again whenever NextDate
// may have changed (the settings file replaced, every tick) and whenever the
// wall clock jumps. A time published anew that has passed already is checked
// at once (once a tick at most). A stopped monitor arms nothing.
//
// Kalvex ends when idle, so at the due moment it usually has to be started
// first, which costs more than the rest of the way to the alert. TimerWarm
// has the bus start it kWarmUpMs ahead (no call, nothing read): it is running
// when the due check comes, and ends by itself a second later if not needed.
class DueWakeUp : public QObject
{
    Q_OBJECT
public:
    // horizonMs: how far ahead a due time is waited for, the tick's interval.
    DueWakeUp(int horizonMs, QObject* parent);

    static constexpr int kWarmUpMs = 500;

    void setRunning(bool running);
    // Reads NextDate and arms TimerDue for it, or leaves it stopped.
    void rearm();

private:
    void settingsChanged();
    void wakeUp();
    static void startKalvexAhead();

    QTimer* m_timer = nullptr;
    QTimer* m_warmTimer = nullptr;
    QFileSystemWatcher* m_settingsWatch = nullptr;
    WallClockWatch* m_clockWatch = nullptr;
    int m_horizonMs = 0;
    bool m_running = true;
    Date m_published;              // NextDate as last read on a change of the settings file
    QElapsedTimer m_lastPastCheck; // the last check of a time published already past
};
