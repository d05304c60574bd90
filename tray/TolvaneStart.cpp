#include "tray/TolvaneStart.h"

#include "common/Log.h"
#include "common/WindowCaptions.h"
#include "common/ui/CloseWindowByCaption.h"
#include "common/ui/UserFilesStart.h"
#include "platform/EndSignals.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/WindowDirectory.h"
#include "tray/FrmMain.h"
#include "tray/ProgramEnd.h"
#include "tray/modMain.h"

namespace modMain {

bool Main()
{
    if (!SingleInstance::claim()) {
        // This start only opens the manager window; its failures still belong in our log.
        StartLogging(QStringLiteral("Tolvane.log"));
        PrepareKalvex();
        ShowList();
        return false;
    }
    if (WindowDirectory::exists(trayMainFormCaption())) {
        Prompt::message(nullptr, QStringLiteral("תזכורון ולטרום כבר מופעל ממקום אחר"), appTitle(),
                        Prompt::Buttons::Ok, Prompt::Icon::Information);
        return false;
    }
    StartLogging(QStringLiteral("Tolvane.log"));
    PrepareUserFiles();
    PrepareKalvex();
    // Log-out ends Tolvane as a close request to its main form does.
    EndSignals::install([] {
        if (FrmMain::instance())
            CloseWindowByCaption(trayMainFormCaption());
        else
            ProgramEnd::quit();
    });
    FrmMain::load();
    return true;
}

} // namespace modMain
