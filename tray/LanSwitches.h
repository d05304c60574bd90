#pragma once

#include <QString>

// The LAN switches of Tolvane's module modMain.
namespace modMain {

// The LAN switches as LANInit read them; they choose the running tray icon.
extern bool SendFlag;
extern bool ReceiveFlag;
// Why LANInit could not bind the receiver's port although a switch is on,
// in Hebrew for the user; empty when it could.
extern QString LanTrouble;

// Reads "OptSend" and "OptReceive" and, when either is on, loads the LAN
// receiver. A value that is no Boolean, or a receiver that cannot bind its
// port, is logged as "LANInit: ..." and leaves both switches off (the
// running tray icon then shows the LAN off); the port's refusal is kept in
// LanTrouble for the tray icon to tell.
void LANInit();

} // namespace modMain
