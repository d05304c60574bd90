#pragma once

#include "common/LanNick.h"
#include "common/TextConversion.h"

#include <QString>

// Kalvex's LAN settings in memory, loaded from section "LAN_Settings".
// Before the first load: empty, 0, false, false.
extern QString LANNick;
extern quint16 LANPort; // any UDP port; the file holds it as decimal text
extern bool LANOptSend;
extern bool LANOptReceive;
// The office's trust policy ("Trust"): whether unsigned datagrams are taken.
enum class LanTrust { Mixed, Signed };
extern LanTrust LANTrust;

// The LAN settings as stored.
struct LanSettingsValues
{
    QString nick;
    quint16 port = 0;
    bool send = false;
    bool receive = false;
    LanTrust trust = LanTrust::Mixed;
};
// Reads "Nick", "Port", "OptSend", "OptReceive", "Trust" in that order. A value that
// does not convert takes its key's default and is logged as
// "<logName>: <key>=<value>: <description>", so one bad value never stops
// the program. Never fails.
LanSettingsValues ReadLANSettings(const QString& logName);
// ReadLANSettings into the values in memory, logged as "LoadLANSettings".
void LoadLANSettings();
// Writes the keys as texts, in the order "OptSend" ("1"/"0"),
// "OptReceive", "Nick", "Port"; false when a write failed (WriteIni logs it).
bool WriteLANSettings(bool send, bool receive, const QString& nick, const QString& port);
// Writes "Trust"; false when the write failed (WriteIni logs it).
bool WriteLanTrust(LanTrust trust);
