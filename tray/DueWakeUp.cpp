#include "tray/DueWakeUp.h"

#include "common/KalvexBus.h"
#include "platform/Clock.h"
#include "platform/UserFiles.h"
#include "platform/WallClockWatch.h"
#include "platform/ui/Named.h"
#include "tray/modMain.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

// The due checks compare strictly with a clock read to the millisecond
// (Clock::hasPassed): the first reading that lies past the published time is
// a millisecond later. Waking any earlier would find nothing due.
constexpr qint64 kFirstMomentPastMs = 1;

} // namespace

DueWakeUp::DueWakeUp(int horizonMs, QObject* parent) : QObject(parent), m_horizonMs(horizonMs)
{
    setObjectName(QStringLiteral("DueWakeUp"));
    m_timer = named(new QTimer(this), QStringLiteral("TimerDue"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &DueWakeUp::wakeUp);
    m_warmTimer = named(new QTimer(this), QStringLiteral("TimerWarm"));
    m_warmTimer->setSingleShot(true);
    connect(m_warmTimer, &QTimer::timeout, this, &DueWakeUp::startKalvexAhead);

    // Kalvex replaces the settings file as a whole (a new file renamed over
    // the old one), which shows as a change of the folder that holds it.
    m_settingsWatch = new QFileSystemWatcher({UserFiles::folder(UserFiles::Kind::Config)}, this);
    connect(m_settingsWatch, &QFileSystemWatcher::directoryChanged, this,
            &DueWakeUp::settingsChanged);

    // After a jump a due time may have passed unnoticed, or moved.
    m_clockWatch = new WallClockWatch(this);
    connect(m_clockWatch, &WallClockWatch::jumped, this, &DueWakeUp::wakeUp);
    m_published = modMain::GetNextDate();
    rearm();
}

// A time published anew that has passed already (a row another program
// added, published after the tick that noticed it) is checked at once rather
// than at the next tick: once a tick at most, so no burst of publications
// makes a burst of checks.
void DueWakeUp::settingsChanged()
{
    const Date due = modMain::GetNextDate();
    const bool anew = due != m_published;
    m_published = due;
    if (anew && m_running && !due.isZero() && Clock::hasPassed(due) &&
        (!m_lastPastCheck.isValid() || m_lastPastCheck.hasExpired(m_horizonMs))) {
        m_lastPastCheck.start();
        modMain::CheckNextDate();
    }
    rearm();
}

void DueWakeUp::setRunning(bool running)
{
    m_running = running;
    rearm();
}

void DueWakeUp::rearm()
{
    m_timer->stop();
    m_warmTimer->stop();
    if (!m_running)
        return;
    const Date due = modMain::GetNextDate();
    if (due.isZero())
        return;
    // A time already past is the tick's; one beyond the next tick is armed by that tick.
    const qint64 ms = Clock::msecsUntil(due) + kFirstMomentPastMs;
    if (ms <= 0 || ms > m_horizonMs)
        return;
    m_timer->start(int(ms));
    if (ms > kWarmUpMs)
        m_warmTimer->start(int(ms - kWarmUpMs));
}

// Asynchronous and unchecked: a Kalvex that cannot start is logged by the
// due check's own call.
void DueWakeUp::startKalvexAhead()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface())
        bus.interface()->asyncCall(QStringLiteral("StartServiceByName"), KalvexBus::serviceName,
                                   0u);
}

void DueWakeUp::wakeUp()
{
    if (!m_running)
        return;
    modMain::CheckNextDate();
    rearm();
}
