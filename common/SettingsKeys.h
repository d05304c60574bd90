#pragma once

#include <QString>

// The sections and keys of the settings file "Kalvex.ini" that the two
// programs share, with the values read when a key is missing.
namespace SettingsKeys {

// Kalvex publishes the next due time here; Tolvane writes its running state.
inline const QString reminderSection = QStringLiteral("Reminder");
inline const QString nextDate = QStringLiteral("NextDate"); // "ddmmyyyyhhnn" or "NULL"
inline const QString noNextDate = QStringLiteral("NULL");
inline const QString active = QStringLiteral("Active"); // "1" running, "0" stopped
inline const QString activeDefault = QStringLiteral("1");
// "1": the working-day rules treat Israel's days off as days off; "0": they
// count Sunday to Thursday only. Written by Kalvex's options window.
inline const QString israeliHolidays = QStringLiteral("IsraeliHolidays");
inline const QString israeliHolidaysDefault = QStringLiteral("1");
// The database an earlier installation left that the user chose to leave
// where it is (common/EarlierInstallation.h): not offered again.
inline const QString earlierDatabase = QStringLiteral("EarlierDatabase");

// The LAN settings, written by Kalvex's options window.
inline const QString lanSection = QStringLiteral("LAN_Settings");
inline const QString nick = QStringLiteral("Nick");
inline const QString port = QStringLiteral("Port");
inline const QString portDefault = QStringLiteral("217");
inline const QString optSend = QStringLiteral("OptSend");
inline const QString optReceive = QStringLiteral("OptReceive");
inline const QString optDefault = QStringLiteral("1"); // both switches
// The office's policy for unsigned datagrams: "mixed" takes them as from a
// Windows peer, "signed" drops them.
inline const QString trust = QStringLiteral("Trust");
inline const QString trustMixed = QStringLiteral("mixed");
inline const QString trustSigned = QStringLiteral("signed");
// Where datagrams for everybody also go beyond the broadcast, entries
// separated by "," (common/ExtraAddresses.h).
inline const QString extraAddresses = QStringLiteral("ExtraAddresses");

// The broker for colleagues beyond the LAN (broker/BrokerSettings.h).
inline const QString brokerSection = QStringLiteral("Broker");
inline const QString brokerAddress = QStringLiteral("Address");
inline const QString brokerUser = QStringLiteral("User");
inline const QString brokerCaFile = QStringLiteral("CaFile");
inline const QString brokerRelay = QStringLiteral("Relay");

} // namespace SettingsKeys
