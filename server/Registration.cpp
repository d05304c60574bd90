#include "Registration.h"

#include "Failure.h"
#include "KalvexBus.h"
#include "ProgramDir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString dataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

// The bus splits Exec like a shell: single quotes keep everything literal.
QString quotedForExec(const QString& path)
{
    static const QString plain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:@%");
    bool needsQuotes = path.isEmpty();
    for (QChar c : path)
        needsQuotes = needsQuotes || !plain.contains(c);
    if (!needsQuotes)
        return path;
    QString escaped = path;
    escaped.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

void writeServiceFile(const QString& text)
{
    const QString path = serviceFilePath();
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

QString serviceFilePath()
{
    return dataHome() + QStringLiteral("/dbus-1/services/") + KalvexBus::serviceName +
           QStringLiteral(".service");
}

QString serviceFileText(const QString& executable)
{
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n")
        .arg(KalvexBus::serviceName, quotedForExec(executable));
}

void RegisterServer()
{
    writeServiceFile(serviceFileText(
        QDir::cleanPath(QDir(ProgramDir::path()).absoluteFilePath(QStringLiteral("Kalvex")))));
    reloadBusConfig();
}
