#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// Where every datagram for everybody also goes, beyond the LAN's broadcast:
// host names, IPv4 addresses, and subnets in CIDR form ("10.0.2.0/24"), sent
// to the subnet's broadcast address (10.0.2.255). Kept in "Kalvex.ini",
// section "LAN_Settings", key "ExtraAddresses", the entries separated by ",".
// One rule for the options window, which refuses a bad list, and for both
// programs' sends, which skip what the rule refuses.
namespace ExtraAddresses {

inline constexpr int kMaxEntries = 32;
inline constexpr int kMaxNameChars = 253;
// The whole list as typed or stored: the longest names, their separators and blanks.
inline constexpr int kMaxTextChars = kMaxEntries * (kMaxNameChars + 3);

struct Entry
{
    QString text;             // as stored: a name in lower case, an address, a subnet
    QString hostName;         // a name to look up; empty for an address or a subnet
    QHostAddress destination; // where an address or a subnet is sent to
};

struct Parsed
{
    QList<Entry> entries;
    QString refusal; // why the list is refused (Hebrew, naming the entry); empty when good
};

// The entries of a list separated by commas or blanks. The first bad entry,
// a duplicate, or more than kMaxEntries refuse the list.
Parsed parse(const QString& text);
// The entries as stored: separated by ",".
QString joined(const QList<Entry>& entries);

// The stored list's good entries; why the rest are refused is logged as
// "ExtraAddresses: <why>", once for each text. Never fails.
QList<Entry> stored();
// The list as the user typed it in the settings file; empty when none.
QString storedText();
// Writes the list; false when the write failed (WriteIni logs it).
bool store(const QList<Entry>& entries);

} // namespace ExtraAddresses
