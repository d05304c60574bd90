#include "server/ServerWiring.h"

#include "alert/Remind.h"
#include "common/KalvexBus.h"
#include "lan/FrmLANOpt.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RestartMonitor.h"
#include "lan/SendRUpdate.h"
#include "lan/SharedArrivals.h"
#include "lan/frmList.h"
#include "manager/RMain.h"
#include "manager/ReceiptsBar.h"
#include "scheduling/ShownAlerts.h"
#include "server/FrmAbout.h"
#include "server/LanMessageSeam.h"
#include "server/ShowMainForm.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {

// The signal the tray monitor shows a notice for.
void AnnounceSharedArrival(const SharedArrival& arrival)
{
    static const QString kinds[] = {KalvexBus::arrivalNew, KalvexBus::arrivalChanged,
                                    KalvexBus::arrivalDeleted};
    QDBusMessage signal = QDBusMessage::createSignal(
        KalvexBus::objectPath, KalvexBus::interfaceName, KalvexBus::sharedReminderArrived);
    signal << kinds[arrival.kind] << arrival.reminderId << arrival.author << arrival.caption
           << formatDateTime(arrival.due);
    QDBusConnection::sessionBus().send(signal);
}

} // namespace

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
    ReceiptsBar::setHooks({[] { return Listeners; }, &SendRUpdateTo});
    setLanMessageHandler(&ProcessLANMsg);
    setSharedArrivalHandler(&AnnounceSharedArrival);
}
