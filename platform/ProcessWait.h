#pragma once

#include <QtGlobal>

// Waits, without spinning, until a process that need not be our child has
// ended. True when it ended within the time.
bool waitForProcessEnd(qint64 pid, int timeoutMs);
