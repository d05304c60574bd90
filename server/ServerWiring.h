#pragma once

// The one place where Kalvex connects its subsystems, before anything is
// served: the due check opens alerts (a new Remind per reminder), an alert's
// "פתח ברשימה" opens the manager window on its reminder, and the manager's
// about command shows the about box. The LAN subsystem installs its message
// handler and the manager's LAN hooks (sending a saved or deleted reminder,
// the recipient list, the options window, restarting Tolvane) here as well.
void WireServer();
