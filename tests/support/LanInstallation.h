#pragma once

#include "tests/support/E2eSession.h"
#include "tests/support/LanNetwork.h"

#include <QList>

#include <memory>
#include <utility>

// An installation on a host of a LAN of the test's own: the real Kalvex and Tolvane in the
// host's namespace, with the nickname, prompts answered "Ignore", Kalvex registered with its
// bus, its monitor announcing itself to everybody once started. isReady() (error() says why)
// tells whether all of it succeeded.
std::unique_ptr<E2eSession> lanInstallation(const LanNetwork& net, int host, const QString& nick);

// The condition; when it is false, the ends of the named installations' logs are told first,
// for the wait that failed.
bool toldUnless(bool condition, const QList<std::pair<QString, const E2eSession*>>& installations);
