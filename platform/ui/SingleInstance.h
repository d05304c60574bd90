#pragma once

#include <QString>

// The previous-instance test: each executable path has one instance name on
// the D-Bus session bus, held by the first process started from that path
// until it ends (the bus drops the name with the process, even after a crash).
namespace SingleInstance {

// Claims the instance name of the running executable. False when an earlier
// process started from the same path holds it. Without a bus there is no way
// to tell, and the caller counts as the first instance.
bool claim();
// Gives the name up while the process is ending, so that a new start right
// behind it (a restart) is not taken for a second instance.
void release();

// The bus name that stands for an executable path.
QString busNameFor(const QString& executablePath);

} // namespace SingleInstance
