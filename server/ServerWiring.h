#pragma once

// Connects the subsystems Kalvex serves through: the due check opens alerts
// (a new Remind per reminder), and an alert's "פתח ברשימה" opens the manager
// window on its reminder; the manager's about command shows the about box;
// LAN datagrams are processed, and saves share reminders over the LAN.
void WireServer();
