#include "tests/support/WindowsShown.h"

#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"

WindowsShown::WindowsShown(QDBusConnection bus)
{
    // From any sender: a Kalvex the bus starts later included.
    auto* debug = new KalvexKVClassDebugInterface(QString(), KalvexBus::objectPath, bus, this);
    connect(debug, &KalvexKVClassDebugInterface::WindowShown, this, &WindowsShown::onShown);
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
