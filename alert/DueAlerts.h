#pragma once

#include <QtGlobal>

// How a due reminder is shown, the opener ShowAlert uses (setAlertOpener): in
// an alert window of its own while fewer than AlertPile::kMaxWindows are
// open, else as a row of the alert list (AlertList).
//
// A row stays in the list when a window closes; it is not moved into a window
// of its own. The new window would open where the user has just clicked (the
// cascade's place) and beep, so the next click meant for the window that
// closed could postpone or close another reminder unseen; and the list
// already offers every row one click or key away.
void openDueAlert(qint32 reminderId);
