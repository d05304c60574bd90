#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class KalvexKVClassAlertsInterface; // common/KalvexProxies.h
class QDBusPendingCall;

// How many alerts Kalvex shows (alert windows and list rows), for the tray menu's "סגור הכל" and
// "דחה הכל". Kalvex tells every change (Kalvex.KVClass.Alerts.CountChanged);
// the count is asked once at start and whenever a Kalvex comes up, and is 0
// while none runs. Nothing here waits: every call goes out without blocking
// the tick, never starts Kalvex, and is answered within kPeerWaitMs or logged.
class OpenAlerts : public QObject
{
    Q_OBJECT
public:
    explicit OpenAlerts(QObject* parent);

    int count() const { return m_count; }
    // Every open alert closed, or postponed by its own chosen postponement.
    void closeAll();
    void postponeAll();

signals:
    void changed(int count);

public slots:
    void setCount(int count); // as Kalvex tells it

private:
    // The Kalvex that owns the bus name now, by its unique name, so that no
    // call starts one; none when the name has no owner.
    void follow(const QString& owner);
    void askCount();
    void callAsync(const QDBusPendingCall& call, const QString& procedure,
                   const std::function<void(const QDBusPendingCall& answer)>& answered);

    QPointer<KalvexKVClassAlertsInterface> m_kalvex;
    int m_count = 0;
};
