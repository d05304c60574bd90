#include "tests/support/WindowsShown.h"

#include "common/KalvexBus.h"

WindowsShown::WindowsShown(QDBusConnection bus)
{
    bus.connect(QString(), KalvexBus::objectPath, KalvexBus::debugInterfaceName,
                QStringLiteral("WindowShown"), this, SLOT(onShown(QString, QString)));
}

qint64 WindowsShown::firstAtMs(const QString& objectName) const
{
    for (const Shown& s : seen)
        if (s.objectName == objectName)
            return s.atMs;
    return 0;
}

void WindowsShown::onShown(const QString& objectName, const QString&)
{
    seen.append({objectName, QDateTime::currentMSecsSinceEpoch()});
}
