#include "platform/ui/PeerCall.h"

#include "platform/PeerWait.h"

#include <QDBusConnection>

QDBusMessage callPeer(const QDBusMessage& call)
{
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kPeerWaitMs);
}

QString peerFailure(const QDBusMessage& call, const QDBusMessage& reply, const QString& who,
                    qint64 waitedMs)
{
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        return QStringLiteral("%1 did not answer %2 within %3 ms")
            .arg(who, call.member())
            .arg(waitedMs);
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

QString peerFailure(const QDBusError& error, const QString& who, qint64 waitedMs)
{
    if (error.type() == QDBusError::NoReply)
        return QStringLiteral("%1 did not answer within %2 ms").arg(who).arg(waitedMs);
    return error.message().isEmpty() ? error.name() : error.message();
}
