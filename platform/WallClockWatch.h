#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the wall clock jumps: set by hand or by time synchronisation,
// or moved on by a resume from suspend. Timers count elapsed time and miss
// such jumps; whatever waits for a wall-clock moment re-arms on jumped().
// Where the system offers no such notice, it never signals.
class WallClockWatch : public QObject
{
    Q_OBJECT
public:
    explicit WallClockWatch(QObject* parent = nullptr);
    ~WallClockWatch() override;

signals:
    void jumped();

private:
    bool arm();
    void onReadable();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
