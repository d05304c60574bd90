#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs an action soon after it is asked for, once for any number of asks:
// at the end of the current turn of the event loop, but never sooner than
// minGapMs after its last run. A single change is followed at once; a burst
// of changes costs one run per gap and a last one right after the burst.
class Throttle : public QObject
{
    Q_OBJECT
public:
    Throttle(int minGapMs, std::function<void()> action, QObject* parent = nullptr);

    void request();

private:
    void run();

    int m_minGapMs;
    std::function<void()> m_action;
    QTimer m_timer;
    QElapsedTimer m_sinceRun; // invalid until the first run
};
