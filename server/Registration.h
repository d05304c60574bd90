#pragma once

#include <QString>

// "/REGSERVER": makes the session bus start this program's Kalvex on demand.
// Writes $XDG_DATA_HOME/dbus-1/services/Kalvex.KVClass.service (XDG_DATA_HOME
// defaults to ~/.local/share) and asks the bus to reload its configuration.
// Throws Failure when either step fails.
void RegisterServer();

QString serviceFilePath();
// The activation file's text for an executable path (quoted for the bus's
// command-line parser when it holds blanks or quotes).
QString serviceFileText(const QString& executable);
