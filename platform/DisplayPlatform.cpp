#include "platform/DisplayPlatform.h"

namespace DisplayPlatform {

QString forAlerts(const QProcessEnvironment& env)
{
    if (!env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    const bool wayland =
        env.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (wayland && !env.value(QStringLiteral("DISPLAY")).isEmpty())
        return QStringLiteral("xcb");
    return {};
}

void chooseForAlerts()
{
    const QString platform = forAlerts(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toLatin1());
}

} // namespace DisplayPlatform
