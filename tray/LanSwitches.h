#pragma once

// The LAN switches of Tolvane's module modMain.
namespace modMain {

// The LAN switches as LANInit read them; they choose the running tray icon.
extern bool SendFlag;
extern bool ReceiveFlag;

// Reads "OptSend" and "OptReceive" and, when either is on, loads the LAN
// receiver. A value that is no Boolean, or a receiver that cannot bind its
// port, is logged as "LANInit: ..." and leaves both switches off (the
// running tray icon then shows the LAN off).
void LANInit();

} // namespace modMain
