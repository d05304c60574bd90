// In Tolvane's test build only: KV_TRAY_WAIT_MS, the wait for a panel before asking about the icon.
#include "tray/TrayHost.h"

#include <QCoreApplication>

static void installTrayHooks()
{
    bool ok = false;
    if (const int waitMs = qEnvironmentVariableIntValue("KV_TRAY_WAIT_MS", &ok); ok)
        TrayHost::setPatience({waitMs, TrayHost::patience().lookMs});
}
Q_COREAPP_STARTUP_FUNCTION(installTrayHooks)
