#pragma once

#include "tests/support/LanNetwork.h"

#include <vector>

// The installations of a LAN end-to-end test, the one on host h at [h].
using Installations = std::vector<std::unique_ptr<E2eSession>>;

// An installation (installationOn) on each host from host 0 on, nicknamed as given, appended
// to `sessions`; why one is not ready, or empty when all are.
QString installationsOn(const LanNetwork& net, const QStringList& nicks, const E2eOptions& options,
                        Installations& sessions);
QString logsOf(const Installations& sessions, qsizetype chars = 3000);

// The datagrams of that kind ("UPD", "IAM\tB\t", ...) the installation's Kalvex sent.
qsizetype sentCount(const E2eSession& s, const QString& what);
// Of the reminder the installation wrote and shared under the identity: its row, and the
// names that acknowledged it (each followed by "\r").
qint32 authoredRow(E2eSession& author, qint32 broadcastId);
QString receiptsOf(E2eSession& author, qint32 broadcastId);

// Waits up to ms for the condition, else fails telling the logs of the installations given
// (what logsOf takes).
#define KV_LAN_WAIT(condition, ms, ...)                                                            \
    QVERIFY2(E2eSession::waitFor([&] { return bool(condition); }, ms),                             \
             qPrintable(logsOf(__VA_ARGS__)))
