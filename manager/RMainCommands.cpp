// Commands of the manager window whose controls and menu items exist now and
// whose behaviour arrives with deleting, find, printing and copying, and the
// LAN windows. Each is the one place where that behaviour will go.
#include "RMain.h"

void RMain::cmdDelete_Click() {}            // deleting the current reminder
void RMain::cmdDeleteAll_Click() {}         // deleting the listed reminders
void RMain::cmdFind_Click() {}              // the find dialog RFind
void RMain::cmdDefinitions_Click() {}       // the options window
void RMain::mnu_PrinCurrent_Click() {}      // printing the current reminder
void RMain::mnu_PrintList_Click() {}        // printing the list
void RMain::mnu_CopyList_Click() {}         // copying the list to the clipboard
void RMain::cmdOptList_Click() {}           // the recipient list window
void RMain::OptSend_Click(int /*Index*/) {} // choosing an audience ticks LANSend
