#pragma once

#include <QString>
#include <QtGlobal>

namespace SysInfo {

// The computer's host name (the default LAN nickname is made from it).
QString computerName();
// Milliseconds since boot as a signed 32-bit count, wrapping like GetTickCount.
qint32 tickCount();

// Test seam: pretend the computer has this name (empty: the real one).
void setComputerNameOverride(const QString& name);

} // namespace SysInfo
