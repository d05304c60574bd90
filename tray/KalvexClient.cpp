#include "tray/KalvexClient.h"

#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"
#include "platform/PeerWait.h"
#include "platform/ui/PeerCall.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QPointer>

namespace {

// Errors by which the bus says that it cannot reach or start Kalvex at all,
// as opposed to a failure of the called method.
bool isCreationError(const QString& errorName)
{
    return errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.TimedOut") ||
           errorName.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."));
}

class DBusKalvexClient : public KalvexClient
{
public:
    void call(const KalvexCall& method) override
    {
        QDBusPendingCall pending = method(proxy());
        pending.waitForFinished();
        if (!pending.isError())
            return;
        const QString description = peerFailure(pending.error(), QStringLiteral("Kalvex"));
        if (isCreationError(pending.error().name()))
            throw NotCreated(description);
        throw Failure(description);
    }

    void post(const KalvexCall& method, const std::function<void(const QString&)>& onFailure,
              const std::function<void()>& onEnd) override
    {
        QElapsedTimer waited;
        waited.start();
        auto* watcher = new QDBusPendingCallWatcher(method(proxy()));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [onFailure, onEnd, waited](QDBusPendingCallWatcher* done) {
                             if (done->isError())
                                 onFailure(peerFailure(done->error(), QStringLiteral("Kalvex"),
                                                       waited.elapsed()));
                             if (onEnd)
                                 onEnd();
                             done->deleteLater();
                         });
    }

private:
    // One proxy while the application lives: a handle, no object of Kalvex's.
    KalvexKVClassInterface& proxy()
    {
        if (!m_proxy) {
            m_proxy = new KalvexKVClassInterface(KalvexBus::serviceName, KalvexBus::objectPath,
                                                 QDBusConnection::sessionBus(),
                                                 QCoreApplication::instance());
            m_proxy->setTimeout(kPeerWaitMs);
        }
        return *m_proxy;
    }

    QPointer<KalvexKVClassInterface> m_proxy;
};

KalvexClient* g_fake = nullptr;

} // namespace

namespace Kalvex {

KalvexClient& client()
{
    static DBusKalvexClient dbus;
    return g_fake ? *g_fake : dbus;
}

void setClient(KalvexClient* fake)
{
    g_fake = fake;
}

} // namespace Kalvex
