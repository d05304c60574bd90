#include "lan/RestartMonitor.h"

#include "common/AutoRunEntry.h"
#include "common/Log.h"
#include "common/WindowCaptions.h"
#include "common/ui/CloseWindowByCaption.h"
#include "platform/ProgramDir.h"

#include <QProcess>

QString MonitorProgram()
{
    return AutoRunEntry::program();
}

void RestartMonitor()
{
    // The close returns once the main form has unloaded: the socket and the
    // instance name are free for the new Tolvane.
    CloseWindowByCaption(trayMainFormCaption());
    if (!QProcess::startDetached(MonitorProgram(), {}, ProgramDir::path()))
        WriteLog(QStringLiteral("RestartMonitor: cannot start ") + MonitorProgram(), LogError);
}
