#include "server/Registration.h"

#include "common/ActivationFile.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
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

void removeUserFile()
{
    QFile file(ActivationFile::path());
    if (file.exists() && !file.remove())
        throw Failure(
            QStringLiteral("cannot remove %1: %2").arg(file.fileName(), file.errorString()));
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
    const QString programDir = ProgramDir::path();
    // An installed package's own file starts us already: one of the user's
    // would only hide it (and go stale with the next installation).
    if (ActivationFile::starts(ActivationFile::systemWide(), programDir))
        removeUserFile();
    else
        writeServiceFile(ActivationFile::textFor(programDir));
    reloadBusConfig();
}
