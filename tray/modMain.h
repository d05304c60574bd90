#pragma once

#include "common/LanDatagram.h"
#include "platform/Date.h"
#include "tray/KalvexClient.h"

#include <QString>

#include <functional>

// Tolvane's module: every call into Kalvex and the timer work. Its start-up
// Main is in TolvaneStart.h, its LAN switches in LanSwitches.h.
namespace modMain {

// Before the first call: hands the display to the bus, so that the Kalvex it
// starts can open windows, and registers this directory's Kalvex when the
// bus would start that of another directory. Failures are logged as
// "PrepareKalvex: ...".
void PrepareKalvex();

// Creates a KVClass object and calls one method on it. When the object cannot
// be created, registers Kalvex once and tries again; a second failure is
// logged as "GetKalvex: ..." and ends Tolvane at once. A failure of the method
// itself goes to the caller.
void GetKalvex(const KalvexCall& method);
// Runs "Kalvex /REGSERVER" from the program directory and waits until it has
// finished (at most a few seconds).
void RegisterKalvex();

// The wrappers: each logs its failure under its own name and drops it.
void CheckList();
bool UpdateList();                    // false on failure: the main form then unloads
void ShowList(qint32 reminderId = 0); // that reminder selected; then brings the window to the front
// Hands received datagrams to Kalvex (MsgProcessBatch) without waiting;
// onEnd runs once Kalvex has carried them out (true), or the call failed
// (false, logged as "MsgProc: <description>").
void MsgProc(const QList<LanDatagram>& datagrams, const std::function<void(bool)>& onEnd = {});

// The published next due time, or the zero date when there is none. A value
// that is neither "NULL" nor a valid "ddmmyyyyhhnn" also counts as none.
Date GetNextDate();
bool IsActive();
// The timer work: asks Kalvex for the due check once the published time has passed.
void CheckNextDate();

} // namespace modMain
