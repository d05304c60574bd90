#include "store/ReminderChanges.h"

#include "store/Database.h"

#include <QCoreApplication>

#include <sqlite3.h>

ReminderChanges::ReminderChanges()
{
    connect(&m_timer, &QTimer::timeout, this, &ReminderChanges::poll);
}

ReminderChanges::~ReminderChanges() = default;

ReminderChanges* ReminderChanges::instance()
{
    static ReminderChanges changes;
    return &changes;
}

quint64 ReminderChanges::serial()
{
    return instance()->m_serial;
}

// Our own change is counted here, so the watch need not count it again.
void ReminderChanges::raise()
{
    ReminderChanges* self = instance();
    ++self->m_serial;
    if (self->m_watchDb)
        if (const qint64 version = self->readVersion(); version >= 0)
            self->m_version = version;
    emit self->changed();
}

void ReminderChanges::watchWhile(QObject* holder)
{
    ReminderChanges* self = instance();
    if (!holder || self->m_holders.contains(holder))
        return;
    self->m_holders.append(holder);
    connect(holder, &QObject::destroyed, self, [self, holder] { self->release(holder); });
    if (self->m_holders.size() == 1)
        self->startWatch();
}

void ReminderChanges::checkNow()
{
    if (isWatching())
        instance()->poll();
}

bool ReminderChanges::isWatching()
{
    return instance()->m_timer.isActive();
}

void ReminderChanges::release(QObject* holder)
{
    m_holders.removeAll(holder);
    if (m_holders.isEmpty())
        stopWatch();
}

// The version is read before the window that asked reads the table, so a
// change committed in between is not lost. When it cannot be read yet, the
// first version read later counts as a change.
void ReminderChanges::startWatch()
{
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ReminderChanges::stopWatch,
                Qt::UniqueConnection);
    m_version = openWatch() ? readVersion() : -1;
    m_timer.start(kWatchMs);
}

void ReminderChanges::stopWatch()
{
    m_timer.stop();
    m_watchDb.reset();
    m_version = -1;
}

// A file that cannot be opened now is tried again at the next tick; the
// windows log their own failures to read it.
bool ReminderChanges::openWatch()
{
    if (m_watchDb)
        return true;
    try {
        m_watchDb = Database::open(reminderDbPath());
    } catch (const std::exception&) {
        return false;
    }
    // A writer busy committing is looked at again at the next tick instead
    // of holding up the windows.
    sqlite3_busy_timeout(m_watchDb->handle(), 0);
    return true;
}

qint64 ReminderChanges::readVersion() const
{
    try {
        return m_watchDb->scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
    } catch (const std::exception&) {
        return -1;
    }
}

void ReminderChanges::poll()
{
    if (!openWatch())
        return;
    const qint64 version = readVersion();
    if (version < 0 || version == m_version)
        return;
    m_version = version;
    emit changedElsewhere();
    raise();
}
