#pragma once

#include "TextConversion.h"

#include <QString>

// Kalvex's LAN settings in memory, loaded from section "LAN_Settings".
// Before the first load: empty, 0, false, false.
extern QString LANNick;
extern quint16 LANPort; // any UDP port; the file holds it as decimal text
extern bool LANOptSend;
extern bool LANOptReceive;

// Reads "Nick", "Port", "OptSend", "OptReceive" in that order. A value that
// does not convert takes its key's default and is logged as
// "LoadLANSettings: <key>=<value>: <description>", so one bad value never
// stops the program. Never fails.
void LoadLANSettings();
// The computer's network name cut to its first 9 characters.
QString DefaultNick();
