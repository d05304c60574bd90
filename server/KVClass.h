#pragma once

#include "common/KalvexBus.h"

#include <QDBusContext>
#include <QObject>

#include <functional>

class ServerLifetime;

// The public class of Kalvex, served on the session bus as object /KVClass,
// interface Kalvex.KVClass. It holds no state: every call shares the
// process-wide state. Each call first re-reads the LAN settings, so a change
// to the settings file counts from the next call; a failure there, or in the
// call itself, is the call's D-Bus error (Kalvex.KVClass.Error.Failed, the
// description as message).
class KVClass : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", KALVEX_BUS_INTERFACE)
public:
    explicit KVClass(ServerLifetime* lifetime, QObject* parent = nullptr);

public slots:
    // Shows the manager window before returning. The id is accepted, not used.
    void ShowList(int RMainId);
    // Queue the due check / the next-due publication / a LAN datagram and return.
    void CheckList();
    void UpdateList();
    void MsgProcess(const QString& StrMsg);
    // Shows the about box (non-modal) before returning.
    void ShowAbout();

private:
    void serve(const std::function<void()>& work);

    ServerLifetime* m_lifetime;
};
