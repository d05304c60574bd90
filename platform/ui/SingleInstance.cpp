#include "platform/ui/SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>

namespace SingleInstance {

QString busNameFor(const QString& executablePath)
{
    const QString canonical = QFileInfo(executablePath).canonicalFilePath();
    const QByteArray path = (canonical.isEmpty() ? executablePath : canonical).toUtf8();
    return QStringLiteral("Kalvex.Instance.P") +
           QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex());
}

bool claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    // RequestName without queueing: exactly one of two simultaneous starts wins.
    const auto reply = bus.interface()->registerService(
        busNameFor(QCoreApplication::applicationFilePath()),
        QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    // A bus that cannot answer cannot tell either.
    return !reply.isValid() || reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

void release()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.interface()->unregisterService(busNameFor(QCoreApplication::applicationFilePath()));
}

} // namespace SingleInstance
