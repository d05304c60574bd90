// The manager window's commands that open the LAN windows: the options and
// the recipient list.
#include "manager/RMain.h"

#include "common/Trapped.h"
#include "manager/ManagerState.h"
#include "store/LanSettings.h"

#include <QPointer>

// The new settings are in force here at once; the tray monitor's receiver
// takes them when it starts again, which a changed nickname alone does not need,
// nor a monitor the options window restarted for the broker already.
void RMain::cmdDefinitions_Click()
{
    if (!lanWindows().editOptions)
        return;
    const QPointer<RMain> self(this);
    const bool restarted = lanWindows().editOptions(this);
    const bool send = LANOptSend;
    const bool receive = LANOptReceive;
    const quint16 port = LANPort;
    LoadLANSettings();
    if (self) {
        SetLANControls();
        if (receive != LANOptReceive) // with or without the author column; an edit stays
            trapped(QStringLiteral("FillTheList"), [this] { refreshInPlace(); });
    }
    if ((send != LANOptSend || receive != LANOptReceive || port != LANPort) && !restarted &&
        lanWindows().restartMonitor)
        lanWindows().restartMonitor();
}

// A confirmed list that names anybody arms the send to it, as choosing
// that audience by hand would. A new reminder has been received by nobody.
void RMain::cmdOptList_Click()
{
    if (!lanWindows().chooseRecipients)
        return;
    const QPointer<RMain> self(this);
    const std::optional<QString> chosen =
        lanWindows().chooseRecipients(this, CurrentSentTo, m_editingNew ? 0 : CurrentReminderId);
    if (!chosen)
        return;
    CurrentSentTo = *chosen;
    if (self && !chosen->isEmpty()) {
        SetSendOptions(true, true);
        SetEditMode(false, true);
    }
}
