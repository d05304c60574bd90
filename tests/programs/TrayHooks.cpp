// In Tolvane's test build only: KV_TRAY_WAIT_MS, the wait for a panel before asking about the
// icon; KV_ANNOUNCE_TO, where the receiver's "IAM" goes (unset: nowhere, so tests on the
// machine's own network never broadcast; the LAN tests in namespaces give 255.255.255.255).
#include "tray/LanAnnounce.h"
#include "tray/TrayHost.h"

#include <QCoreApplication>

static void installTrayHooks()
{
    bool ok = false;
    if (const int waitMs = qEnvironmentVariableIntValue("KV_TRAY_WAIT_MS", &ok); ok)
        TrayHost::setPatience({waitMs, TrayHost::patience().lookMs});
    setAnnounceTarget(qEnvironmentVariable("KV_ANNOUNCE_TO"));
}
Q_COREAPP_STARTUP_FUNCTION(installTrayHooks)
