#include "common/ActivationFile.h"

#include "common/KalvexBus.h"

#include <QDir>
#include <QFile>

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

} // namespace

namespace ActivationFile {

QString path()
{
    return dataHome() + QStringLiteral("/dbus-1/services/") + KalvexBus::serviceName +
           QStringLiteral(".service");
}

QString textFor(const QString& programDir)
{
    const QString executable =
        QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral("Kalvex")));
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n")
        .arg(KalvexBus::serviceName, quotedForExec(executable));
}

bool startsAnotherKalvex(const QString& programDir)
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return QString::fromUtf8(file.readAll()) != textFor(programDir);
}

} // namespace ActivationFile
