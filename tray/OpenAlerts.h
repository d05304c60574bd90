#pragma once

#include <QObject>

#include <functional>

class QDBusMessage;

// How many alert windows Kalvex has open, for the tray menu's "סגור הכל" and
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
    void askCount();
    void callAlerts(const QString& method, const QString& procedure);
    void callAsync(const QDBusMessage& call, const QString& procedure,
                   const std::function<void(const QDBusMessage& reply)>& answered);

    int m_count = 0;
};
