#pragma once

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

// Text conversions of the settings file: "1"/"0"/"True"/"False"/numbers to a
// Boolean; a number within 16 bits (rounded, halves to even) to an integer.
// Throw Failure ("Type mismatch") otherwise, "Overflow" beyond 16 bits.
bool textToBool(const QString& text);
short textToShort(const QString& text);
