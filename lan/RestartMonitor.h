#pragma once

#include <QString>

// The tray monitor Tolvane in the program directory.
QString MonitorProgram();

// Closes Tolvane through its main form and starts it again, so that its
// receiver binds the LAN settings anew. Nothing waits for the new one; a
// start that fails is logged as "RestartMonitor: <description>".
void RestartMonitor();
