#include "platform/Throttle.h"

Throttle::Throttle(int minGapMs, std::function<void()> action, QObject* parent)
    : QObject(parent), m_minGapMs(minGapMs), m_action(std::move(action))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Throttle::run);
}

void Throttle::request()
{
    if (m_timer.isActive())
        return;
    const qint64 wait = m_sinceRun.isValid() ? m_minGapMs - m_sinceRun.elapsed() : 0;
    m_timer.start(int(qMax<qint64>(0, wait)));
}

void Throttle::run()
{
    m_sinceRun.start();
    m_action();
}
