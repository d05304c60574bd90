#include "KalvexClient.h"

#include "PeerCall.h"

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
    void call(const QString& method, const QVariantList& args) override
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("Kalvex.KVClass"), QStringLiteral("/KVClass"),
            QStringLiteral("Kalvex.KVClass"), method);
        message.setArguments(args);
        message.setAutoStartService(true);
        const QDBusMessage reply = callPeer(message);
        if (reply.type() != QDBusMessage::ErrorMessage)
            return;
        const QString description = peerFailure(message, reply, QStringLiteral("Kalvex"));
        if (isCreationError(reply.errorName()))
            throw NotCreated(description);
        throw Failure(description);
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
