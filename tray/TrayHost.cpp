#include "TrayHost.h"

#include <QSystemTrayIcon>

namespace {
std::function<bool()> g_probe;
}

namespace TrayHost {

bool available()
{
    return g_probe ? g_probe() : QSystemTrayIcon::isSystemTrayAvailable();
}

void setAvailability(std::function<bool()> probe)
{
    g_probe = std::move(probe);
}

} // namespace TrayHost
