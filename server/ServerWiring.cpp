#include "ServerWiring.h"

#include "FrmAbout.h"
#include "FrmLANOpt.h"
#include "LanMessageSeam.h"
#include "LanSend.h"
#include "ProcessLANMsg.h"
#include "RMain.h"
#include "Remind.h"
#include "RestartMonitor.h"
#include "SendRUpdate.h"
#include "ShowMainForm.h"
#include "ShownAlerts.h"
#include "frmList.h"

void WireServer()
{
    setAlertOpener([](qint32 reminderId) {
        auto* alert = new Remind;
        alert->RLoad(reminderId);
    });
    Remind::setOpenInListHandler(&OpenReminderInList);
    RMain::setAboutHandler([](QWidget* owner) { FrmAbout::showBox(owner); });
    RMain::setSendRUpdateHook(&SendRUpdate);
    RMain::setSendDelMsgHook(&SendDELMsg);
    RMain::setLanWindows(
        {&frmList::choose, [](QWidget* owner) { FrmLANOpt(owner).exec(); }, &RestartMonitor});
    setLanMessageHandler(&ProcessLANMsg);
}
