#include "platform/XdgDirs.h"

#include <QDir>

namespace {

QString home(const char* variable, const char* defaultUnderHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(defaultUnderHome);
}

QStringList dirs(const char* variable, const QStringList& defaults)
{
    QStringList found;
    for (const QString& dir : qEnvironmentVariable(variable).split(QLatin1Char(':')))
        if (QDir::isAbsolutePath(dir))
            found << QDir::cleanPath(dir);
    return found.isEmpty() ? defaults : found;
}

} // namespace

namespace XdgDirs {

QString dataHome()
{
    return home("XDG_DATA_HOME", ".local/share");
}

QString configHome()
{
    return home("XDG_CONFIG_HOME", ".config");
}

QString stateHome()
{
    return home("XDG_STATE_HOME", ".local/state");
}

QStringList dataDirs()
{
    return dirs("XDG_DATA_DIRS",
                {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
}

QStringList configDirs()
{
    return dirs("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
}

} // namespace XdgDirs
