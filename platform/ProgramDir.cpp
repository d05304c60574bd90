#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString g_override;
}

namespace ProgramDir {

QString path()
{
    if (!g_override.isEmpty())
        return g_override;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object Qt gives an empty path, which would put
    // the program's files at the file-system root.
    static const QString executableDir = QFileInfo(QStringLiteral("/proc/self/exe"))
                                             .canonicalFilePath()
                                             .section(QLatin1Char('/'), 0, -2);
    return executableDir;
}

QString file(const QString& name)
{
    return path() + QLatin1Char('/') + name;
}

void setOverride(const QString& dir)
{
    g_override = dir;
}

} // namespace ProgramDir
