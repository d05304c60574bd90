#pragma once

#include "common/LanDatagram.h"

#include <QQueue>
#include <QString>

#include <functional>

// Every call that may take time or open windows is turned into work that is
// carried out a moment later on the UI thread, so the D-Bus call returns at
// once: commands, and the LAN datagrams received.
//
// Commands run first in, first out, each before any datagram still waiting:
// a due check is never held up by a backlog of datagrams. Datagrams run in
// arrival order, in slices of at most kSliceDatagrams or kSliceMs, each slice
// one WriteBatch; between two slices the event loop turns (windows, calls,
// alerts) and the database is free for kSliceGapMs (other SQLite clients).
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

inline constexpr int kSliceDatagrams = 100;
inline constexpr int kSliceMs = 25;
inline constexpr int kSliceGapMs = 5;
// Datagrams waiting at most; more are dropped and counted in the log's
// summary ("dropped N datagrams from X"). Tolvane hands over one batch at a
// time, so only callers that do not wait can reach these.
inline constexpr int kMaxWaitingDatagrams = 5000;
inline constexpr qsizetype kMaxWaitingChars = 8 * 1024 * 1024;

// The commands waiting.
QQueue<QString>& CommandQueue();

// A command, or a datagram whose source is not known (MsgProcess): queued,
// and the drain timer on FrmDummy armed; returns at once.
void QueueCommand(const QString& text);
// Received datagrams with their sources; done runs once each of them has
// been carried out, or dropped.
void QueueDatagrams(const QList<LanDatagram>& datagrams, std::function<void()> done = {});
// The drain timer's callback: carries out the commands, then one slice of
// the datagrams. A command that throws is logged as "DrainCommandQueue:
// <description>" and the following ones still run. Entries logged while
// datagrams are carried out are folded (LogFolding).
void DrainCommandQueue();
// Drops everything waiting (the session ends); the done work still runs.
void ClearCommandQueue();

// True while a drain is carrying out commands.
bool IsDraining();
// Commands and datagrams waiting, plus the work being carried out.
int PendingCommands();
