#include "platform/SysInfo.h"

#include <QSysInfo>

#include <time.h>

namespace {
QString g_nameOverride;
}

namespace SysInfo {

QString computerName()
{
    if (!g_nameOverride.isEmpty())
        return g_nameOverride;
    return QSysInfo::machineHostName();
}

qint32 tickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const quint64 ms = quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u;
    return static_cast<qint32>(static_cast<quint32>(ms));
}

void setComputerNameOverride(const QString& name)
{
    g_nameOverride = name;
}

} // namespace SysInfo
