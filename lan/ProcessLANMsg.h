#pragma once

#include <QString>
#include <QStringList>

// Carries out one received datagram: "UPD" stores or overwrites a copy and
// acknowledges it, "DEL" deletes a copy, "ACK" notes a recipient on an
// authored reminder, "WHL" is answered with "IAM", "IAM" adds a listener
// and sends that listener what it missed (SendMissedCopies). The sender of
// an "IAM", and of an "ACK" of a reminder stored here, is noted as a
// colleague seen (ColleaguesSeen.h).
// "UPD", "DEL" and "WHL" are taken only while receiving is on; this
// machine's own datagrams are dropped. Every failure ends in the log.
// Inside a WriteBatch the acknowledgement and the published next due time
// wait for its commit.
//
// Answers go to source, the address the datagram came from; when it is not
// known (empty), to its field 0, if that is a unicast address. A peer is
// held to the bounds of LanLimits.h: its author's copies, one "IAM" a second,
// nicknames of 1 to 9 characters without control characters, each once in
// ReceivedBy and among the listeners.
void ProcessLANMsg(const QString& text, const QString& source = QString());

// True when field 0 is one of this machine's addresses (or LocalIP).
bool IsOwnMsg(const QStringList& tokens);

void ReceiveRUpdate(const QStringList& tokens);
void ReceiveDELMsg(const QStringList& tokens); // throws Failure on any failure
void ReceiveACK(const QStringList& tokens);
void AnswerWHL(const QStringList& tokens);
void ReceiveIAM(const QStringList& tokens);
