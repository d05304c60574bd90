#include "alert/DueAlerts.h"

#include "alert/AlertList.h"
#include "alert/AlertPile.h"
#include "alert/Remind.h"

void openDueAlert(qint32 reminderId)
{
    if (AlertPile::instance().windowCount() < AlertPile::kMaxWindows)
        (new Remind)->RLoad(reminderId);
    else
        AlertList::take(reminderId);
}
