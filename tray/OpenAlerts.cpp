#include "tray/OpenAlerts.h"

#include "common/KalvexBus.h"
#include "common/Log.h"
#include "platform/PeerWait.h"
#include "platform/ui/PeerCall.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

namespace {

QDBusMessage alertsCall(const QString& method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::alertsInterfaceName, method);
    call.setAutoStartService(false); // a Kalvex that is not running has no alert open
    return call;
}

} // namespace

OpenAlerts::OpenAlerts(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::alertsInterfaceName,
                KalvexBus::alertCountChanged, this, SLOT(setCount(int)));
    auto* kalvex = new QDBusServiceWatcher(KalvexBus::serviceName, bus,
                                           QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(kalvex, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                setCount(0);
                if (!newOwner.isEmpty())
                    askCount();
            });
    askCount();
}

void OpenAlerts::setCount(int count)
{
    if (count == m_count)
        return;
    m_count = count;
    emit changed(count);
}

void OpenAlerts::closeAll()
{
    callAlerts(KalvexBus::closeAllAlerts, QStringLiteral("mnuCloseAll"));
}

void OpenAlerts::postponeAll()
{
    callAlerts(KalvexBus::postponeAllAlerts, QStringLiteral("mnuDelayAll"));
}

void OpenAlerts::askCount()
{
    callAsync(alertsCall(KalvexBus::alertCount), QString(),
              [this](const QDBusMessage& reply) { setCount(reply.arguments().value(0).toInt()); });
}

void OpenAlerts::callAlerts(const QString& method, const QString& procedure)
{
    callAsync(alertsCall(method), procedure, [](const QDBusMessage&) {});
}

// A failed question about the count leaves it as Kalvex last told it; a
// failed command is logged under the menu item's name.
void OpenAlerts::callAsync(const QDBusMessage& call, const QString& procedure,
                           const std::function<void(const QDBusMessage&)>& answered)
{
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, kPeerWaitMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [call, procedure, answered](QDBusPendingCallWatcher* done) {
                const QDBusMessage reply = done->reply();
                if (reply.type() != QDBusMessage::ErrorMessage)
                    answered(reply);
                else if (!procedure.isEmpty())
                    WriteLog(procedure + QStringLiteral(": ") +
                                 peerFailure(call, reply, QStringLiteral("Kalvex")),
                             LogError);
                done->deleteLater();
            });
}
