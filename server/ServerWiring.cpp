#include "server/ServerWiring.h"

#include "alert/DueAlerts.h"
#include "alert/Remind.h"
#include "lan/ColleaguesSeen.h"
#include "lan/FrmLANOpt.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RestartMonitor.h"
#include "lan/SendRUpdate.h"
#include "lan/frmList.h"
#include "manager/RMain.h"
#include "manager/ReceiptsBar.h"
#include "scheduling/DeletionUndo.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/ShownAlerts.h"
#include "server/FrmAbout.h"
#include "server/LanMessageSeam.h"
#include "server/ShowMainForm.h"

void WireServer()
{
    setAlertOpener(&openDueAlert);
    publishOnOutsideChanges();
    Remind::setOpenInListHandler(&OpenReminderInList);
    RMain::setAboutHandler([](QWidget* owner) { FrmAbout::showBox(owner); });
    RMain::setSendRUpdateHook(&SendRUpdate);
    setSharingHooks({&SendDELMsg, &SendRUpdateAgain});
    RMain::setLanWindows({&frmList::choose,
                          [](QWidget* owner) {
                              FrmLANOpt options(owner);
                              options.exec();
                              return options.restartedMonitor();
                          },
                          &RestartMonitor});
    ReceiptsBar::setHooks({&ColleaguesKnown, &SendRUpdateTo});
    setLanMessageHandler(&ProcessLANMsg);
}
