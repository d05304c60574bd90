#include "platform/WallClockWatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

// A wall-clock timer set for a moment that never comes, cancelled by the
// kernel whenever the clock is set discontinuously (resume included).
WallClockWatch::WallClockWatch(QObject* parent) : QObject(parent)
{
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        return;
    if (!arm()) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { onReadable(); });
}

WallClockWatch::~WallClockWatch()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

bool WallClockWatch::arm()
{
    itimerspec never{};
    never.it_value.tv_sec = time_t(1) << 40; // beyond the kernel's range: clamped, never reached
    return ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) ==
           0;
}

void WallClockWatch::onReadable()
{
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) >= 0 || errno != ECANCELED)
        return; // nothing but a cancellation is expected here
    if (!arm())
        m_notifier->setEnabled(false);
    emit jumped();
}
