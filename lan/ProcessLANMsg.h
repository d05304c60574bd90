#pragma once

#include <QString>
#include <QStringList>

// Carries out one received datagram: "UPD" stores or overwrites a copy and
// acknowledges it, "DEL" deletes a copy, "ACK" notes a recipient on an
// authored reminder, "WHL" is answered with "IAM", "IAM" adds a listener.
// "UPD", "DEL" and "WHL" are taken only while receiving is on; this
// machine's own datagrams are dropped. Every failure ends in the log.
// Inside a WriteBatch the acknowledgement and the published next due time
// wait for its commit.
void ProcessLANMsg(const QString& text);

// True when field 0 is one of this machine's addresses (or LocalIP).
bool IsOwnMsg(const QStringList& tokens);

void ReceiveRUpdate(const QStringList& tokens);
void ReceiveDELMsg(const QStringList& tokens); // throws Failure on any failure
void ReceiveACK(const QStringList& tokens);
void AnswerWHL(const QStringList& tokens);
void ReceiveIAM(const QStringList& tokens);
