#pragma once

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

class QDBusMessage;
class WindowWatcher;

// When Kalvex ends. It serves as long as one of its windows is open, a
// command is queued or running, FrmDummy is loaded, the broker has not yet
// acknowledged what it published (lan/BrokerOutbox.h), or it owns the clipboard
// (text copied from the list stays pasteable after the window closes). Once a second has
// passed without a call or a window closing, it looks every second whether
// any of these still holds; when none does, it releases its bus name and
// finishes. It also finishes when its bus has gone away.
//
// Calls that reached this process just before the name was released are not
// lost: after the release every KVClass call is forwarded to the name's new
// owner (the bus starts a fresh Kalvex if needed) and its answer passed back.
class ServerLifetime : public QObject
{
    Q_OBJECT
public:
    ServerLifetime(const QDBusConnection& bus, WindowWatcher* watcher, QObject* parent = nullptr);

    static constexpr int kIdleGraceMs = 1000;

    // Arms the first grace: a process started for nothing ends by itself.
    void start();
    // Something happened (a call, a window closed, a drain ended): the grace
    // starts again.
    void noteActivity();

    bool isIdle() const;
    bool isLeaving() const { return m_leaving; }

    // Forwards a call that arrived after the name was released; sends its
    // reply (or error) to the caller when the forward completes.
    void forward(const QDBusMessage& call);

    // Releases the name, lets calls that raced in be forwarded, then finishes.
    void leave();

    // Log-out: the manager window closes as a close request closes it, the
    // command being carried out is finished and those still queued are
    // dropped; then Kalvex finishes at once. Open alerts are not dismissed:
    // their reminders stay due and alert again at the next start.
    void endSession();

signals:
    // Nothing left to serve: the program may end.
    void finished();

private:
    void graceElapsed();
    void finishWhenForwarded();
    void finishSessionWhenDone();

    QDBusConnection m_bus;
    QTimer m_grace;
    QTimer m_sessionEnd;
    QDeadlineTimer m_sessionDeadline;
    bool m_leaving = false;
    int m_forwardsInFlight = 0;
};
