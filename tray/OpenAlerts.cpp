#include "tray/OpenAlerts.h"

#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"
#include "common/Log.h"
#include "platform/PeerWait.h"
#include "platform/ui/PeerCall.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

OpenAlerts::OpenAlerts(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* kalvex = new QDBusServiceWatcher(KalvexBus::serviceName, bus,
                                           QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(kalvex, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) { follow(newOwner); });
    follow(bus.interface()->serviceOwner(KalvexBus::serviceName));
}

void OpenAlerts::follow(const QString& owner)
{
    delete m_kalvex;
    setCount(0);
    if (owner.isEmpty())
        return;
    m_kalvex = new KalvexKVClassAlertsInterface(owner, KalvexBus::objectPath,
                                                QDBusConnection::sessionBus(), this);
    m_kalvex->setTimeout(kPeerWaitMs);
    connect(m_kalvex, &KalvexKVClassAlertsInterface::CountChanged, this, &OpenAlerts::setCount);
    askCount();
}

void OpenAlerts::setCount(int count)
{
    if (count == m_count)
        return;
    m_count = count;
    emit changed(count);
}

// Without a Kalvex running no alert is open.
void OpenAlerts::closeAll()
{
    if (m_kalvex)
        callAsync(m_kalvex->CloseAll(), QStringLiteral("mnuCloseAll"), {});
}

void OpenAlerts::postponeAll()
{
    if (m_kalvex)
        callAsync(m_kalvex->PostponeAll(), QStringLiteral("mnuDelayAll"), {});
}

void OpenAlerts::askCount()
{
    callAsync(m_kalvex->Count(), QString(), [this](const QDBusPendingCall& answer) {
        setCount(QDBusPendingReply<int>(answer).value());
    });
}

// A failed question about the count leaves it as Kalvex last told it; a
// failed command is logged under the menu item's name.
void OpenAlerts::callAsync(const QDBusPendingCall& call, const QString& procedure,
                           const std::function<void(const QDBusPendingCall&)>& answered)
{
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [procedure, answered](QDBusPendingCallWatcher* done) {
                if (!done->isError()) {
                    if (answered)
                        answered(*done);
                } else if (!procedure.isEmpty()) {
                    WriteLog(procedure + QStringLiteral(": ") +
                                 peerFailure(done->error(), QStringLiteral("Kalvex")),
                             LogError);
                }
                done->deleteLater();
            });
}
