#include "ProgramDir.h"

#include <QCoreApplication>

namespace {
QString g_override;
}

namespace ProgramDir {

QString path()
{
    if (!g_override.isEmpty())
        return g_override;
    return QCoreApplication::applicationDirPath();
}

QString file(const QString& name) { return path() + QLatin1Char('/') + name; }

void setOverride(const QString& dir) { g_override = dir; }

} // namespace ProgramDir
