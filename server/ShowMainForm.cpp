#include "server/ShowMainForm.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "manager/ManagerState.h"
#include "manager/RMain.h"
#include "platform/Failure.h"
#include "platform/ui/WindowFront.h"

#include <QTimer>

void ShowMainForm()
{
    trapped(QStringLiteral("ShowMainForm"), [&] {
        // A window loaded just now already shows the stored list with its
        // current reminder; reading the list again would double the wait.
        const bool wasLoaded = RMain::instance() != nullptr;
        RMain* window = RMain::load();
        if (wasLoaded && CurrentReminderId > 0)
            window->ShowIndex(CurrentReminderId);
        window->show();
        BringToFront(window, false);
    });
}

// The manager comes to the front without staying on top of every other
// window; a reminder deleted meanwhile is told, over the list as stored,
// once this has returned: a caller that waits for it (Tolvane's call) is
// not held until the user answers the box.
void OpenReminderInList(qint32 reminderId)
{
    trapped(QStringLiteral("cmdShowList"), [&] {
        RMain* window = RMain::load();
        window->show();
        BringToFront(window, false);
        if (!window->ShowIndex(reminderId))
            QTimer::singleShot(0, window, [window] { window->TellNotStored(); });
    });
}
