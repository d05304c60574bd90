#pragma once

#include <QString>

// The file by which the session bus starts Kalvex on demand:
// $XDG_DATA_HOME/dbus-1/services/Kalvex.KVClass.service (XDG_DATA_HOME
// defaults to ~/.local/share), whose Exec is a program directory's Kalvex.
namespace ActivationFile {

QString path();
// The file's text that starts the Kalvex of the given program directory
// (quoted for the bus's command-line parser when the path needs it).
QString textFor(const QString& programDir);
// True when the file exists and starts the Kalvex of another directory (the
// installation was moved or copied since it was registered).
bool startsAnotherKalvex(const QString& programDir);

} // namespace ActivationFile
