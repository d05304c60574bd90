#pragma once

#include "TextConversion.h"

#include <QString>

// Kalvex's LAN settings in memory, loaded from section "LAN_Settings".
// Before the first load: empty, 0, false, false.
extern QString LANNick;
extern short LANPort;
extern bool LANOptSend;
extern bool LANOptReceive;

// Reads "Nick", "Port", "OptSend", "OptReceive" in that order. Traps nothing: a
// value that does not convert throws Failure at that step, leaving the earlier
// values new and the later ones old.
void LoadLANSettings();
// The computer's network name cut to its first 9 characters.
QString DefaultNick();
