#include "tray/TrayHost.h"

#include "platform/ui/TrayPresence.h"

namespace {
std::function<bool()> g_probe;
TrayHost::Patience g_patience;
} // namespace

namespace TrayHost {

bool available()
{
    if (g_probe)
        return g_probe();
    return TrayPresence::statusNotifierHost() || TrayPresence::xembedTray();
}

bool statusNotifier()
{
    return !g_probe && TrayPresence::statusNotifierHost();
}

void setAvailability(std::function<bool()> probe)
{
    g_probe = std::move(probe);
}

Patience patience()
{
    return g_patience;
}

void setPatience(const Patience& patience)
{
    g_patience = patience;
}

} // namespace TrayHost
