#pragma once

#include "common/LanText.h"

#include <QString>
#include <QStringList>

// Sending datagrams: every send uses a UDP socket of its own, sent to the
// LAN port (LANPort) of one address; field 0 is this machine's address.

inline const QString kBroadcastAddress = QStringLiteral("255.255.255.255");
// Every datagram goes signed with the installation's key: the signature
// field (trust/SignatureField.h) follows its last field. One that would be
// longer than kMaxDatagramBytes (common/LanText.h) signed is refused unsent.

// This machine's address as the socket layer reports it for the last
// destination, dotted decimal; empty until a send or a received message needs it.
extern QString LocalIP;
// Nicknames from "IAM" answers, in arrival order, duplicates kept.
extern QStringList Listeners;

// Sends LocalIP, TAB, strData, then the signature field, to HostIP (dotted
// decimal, or a broker source: lan/BrokerOutbox.h; what goes to everybody
// goes to the broker too), in Windows-1255 (a character it lacks goes as "?"); the text
// must fit one datagram. Logs "SendData: <strData>" once
// sent, "WS_LAN_Send: <description>" when not; gives whether it was sent.
bool WS_LAN_Send(const QString& strData, const QString& HostIP);
// Whether WS_LAN_Send could send the text, checked before anything is
// changed for a send; logs "WS_LAN_Send: <description>" when not.
bool checkSendable(const QString& strData);
// One socket of its own per send.
bool SendLANMsg(const QString& text, const QString& address);
// LocalIP as the socket layer reports it towards the broadcast address.
void SetLocalIP();

// To the broadcast address "255.255.255.255", and to the extra addresses
// (common/ExtraDestinations.h); gives whether the broadcast was sent.
bool sendToEverybody(const QString& text);
void SendACK(const QString& address, qint32 broadcastId);
void SendIAM(const QString& address);
void SendWHL();
// "DEL" with the identity, to everybody; gives whether it was sent.
bool SendDELMsg(qint32 BrId);
// The same to one address.
bool SendDELMsgTo(qint32 broadcastId, const QString& address);
// The system tick count in milliseconds as a signed 32-bit number (never 0,
// which means "never sent").
qint32 NewBroadcastId();

// Test seam: where datagrams for everybody go instead of the broadcast
// address (a loopback address: tests never broadcast from the machine's own
// network). Empty: the broadcast address again.
void setBroadcastTarget(const QString& address);

// True when an answer may go to the address: a colleague's broker source
// ("mqtt:<user>"), or a unicast IPv4 address, not a broadcast or multicast
// one, so a forged sender field cannot turn one
// question into a flood of answers.
bool isAnswerableAddress(const QString& address);
