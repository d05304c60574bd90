#include "tray/KalvexClient.h"

#include "common/KalvexBus.h"
#include "platform/PeerWait.h"
#include "platform/ui/PeerCall.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>

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

QDBusMessage methodCall(const QString& method, const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::interfaceName, method);
    message.setArguments(args);
    message.setAutoStartService(true);
    return message;
}

class DBusKalvexClient : public KalvexClient
{
public:
    void call(const QString& method, const QVariantList& args) override
    {
        const QDBusMessage message = methodCall(method, args);
        const QDBusMessage reply = callPeer(message);
        if (reply.type() != QDBusMessage::ErrorMessage)
            return;
        const QString description = peerFailure(message, reply, QStringLiteral("Kalvex"));
        if (isCreationError(reply.errorName()))
            throw NotCreated(description);
        throw Failure(description);
    }

    void post(const QString& method, const QVariantList& args,
              const std::function<void(const QString&)>& onFailure,
              const std::function<void()>& onEnd) override
    {
        const QDBusMessage message = methodCall(method, args);
        QElapsedTimer waited;
        waited.start();
        auto* watcher = new QDBusPendingCallWatcher(
            QDBusConnection::sessionBus().asyncCall(message, kPeerWaitMs));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [message, onFailure, onEnd, waited](QDBusPendingCallWatcher* done) {
                             const QDBusMessage reply = done->reply();
                             if (reply.type() == QDBusMessage::ErrorMessage)
                                 onFailure(peerFailure(message, reply, QStringLiteral("Kalvex"),
                                                       waited.elapsed()));
                             if (onEnd)
                                 onEnd();
                             done->deleteLater();
                         });
    }
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
