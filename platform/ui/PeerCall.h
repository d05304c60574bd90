#pragma once

#include "platform/PeerWait.h"

#include <QDBusError>
#include <QDBusMessage>

// A blocking call from one program to the other on the session bus, waited
// for kPeerWaitMs (PeerWait.h) at most.
QDBusMessage callPeer(const QDBusMessage& call);

// The description to log for a failed call: for a time-out "<who> did not
// answer <method> within <n> ms" (n: how long the call was waited for),
// else the bus's error message.
QString peerFailure(const QDBusMessage& call, const QDBusMessage& reply, const QString& who,
                    qint64 waitedMs = kPeerWaitMs);
// The same for a call made through a generated proxy, which does not tell
// the method: "<who> did not answer within <n> ms".
QString peerFailure(const QDBusError& error, const QString& who, qint64 waitedMs = kPeerWaitMs);
