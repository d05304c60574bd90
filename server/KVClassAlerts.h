#pragma once

#include "common/KalvexBus.h"

#include <QDBusAbstractAdaptor>

// Interface Kalvex.KVClass.Alerts on the same object: the open alert windows
// as a whole, for the tray menu's "סגור הכל" and "דחה הכל". It reads no
// settings and queues nothing; CountChanged tells every change of the count.
class KVClassAlerts : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", KALVEX_BUS_ALERTS_INTERFACE)
public:
    explicit KVClassAlerts(QObject* object);

public slots:
    // How many alert windows are open.
    int Count() const;
    // Closes every open alert as its own close does: each reminder moves on.
    void CloseAll();
    // Postpones every open alert by the postponement chosen in it.
    void PostponeAll();

signals:
    void CountChanged(int count);
};
