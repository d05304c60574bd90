#pragma once

#include <QQueue>
#include <QString>

// Every call that may take time or open windows is turned into a command text
// that is carried out a moment later on the UI thread, so the D-Bus call
// returns at once. Commands run strictly first in, first out.
//
// The guard that keeps drains from nesting (a drain can be re-entered from a
// nested event loop, e.g. a modal box opened by a command) is process-wide.
// A machine-wide lock is not needed: the bus name lets only one Kalvex serve.

// "~Chck" runs the due check, "~Updt" publishes the next due time (the first
// five characters, case-sensitive); any other text is a LAN datagram.
inline const QString kCheckCommand = QStringLiteral("~Chck");
inline const QString kUpdateCommand = QStringLiteral("~Updt");

// Drains that found the guard taken, over the life of the process.
extern qint32 MutexWaits;
// From this many waits on, a drain logs "Mutex timed out" and no longer backs off.
inline constexpr qint32 kMaxMutexWaits = 100;
// How long a drain that found the guard taken waits before it tries again.
inline constexpr int kGuardRetryMs = 15;

QQueue<QString>& CommandQueue();

// Appends the text and arms the drain timer on FrmDummy; returns at once.
void QueueCommand(const QString& text);
// The drain timer's callback: carries out every queued command in order.
// A command that throws is logged as "DrainCommandQueue: <description>" and
// the following ones still run. Datagrams queued one after another are
// carried out in one WriteBatch, each a step of its own.
void DrainCommandQueue();

// True while a drain is carrying out commands.
bool IsDraining();
// Commands waiting plus the one being carried out.
int PendingCommands();
