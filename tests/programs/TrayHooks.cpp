// Built into the test build of Tolvane only: KV_TRAY_WAIT_MS sets how long
// the load waits for a panel before it asks about the icon, so that tests of
// the question need not wait as long as a user's log-in does.
#include "TrayHost.h"

#include <QCoreApplication>

namespace {

void installTrayHooks()
{
    bool ok = false;
    const int waitMs = qEnvironmentVariableIntValue("KV_TRAY_WAIT_MS", &ok);
    if (ok)
        TrayHost::setPatience({waitMs, TrayHost::patience().lookMs});
}
Q_COREAPP_STARTUP_FUNCTION(installTrayHooks)

} // namespace
