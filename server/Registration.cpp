#include "server/Registration.h"

#include "common/ActivationFile.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

void writeServiceFile(const QString& text)
{
    const QString path = ActivationFile::path();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw Failure(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw Failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void reloadBusConfig()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        throw Failure(QStringLiteral("no session bus: ") + bus.lastError().message());
    const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
    if (reply.type() == QDBusMessage::ErrorMessage)
        throw Failure(QStringLiteral("ReloadConfig: ") + reply.errorMessage());
}

} // namespace

void RegisterServer()
{
    writeServiceFile(ActivationFile::textFor(ProgramDir::path()));
    reloadBusConfig();
}
