#pragma once

#include <QString>

#include <optional>

// The file by which the session bus starts Kalvex on demand. The bus looks
// for it in the user's folder first, $XDG_DATA_HOME/dbus-1/services (where
// "/REGSERVER" writes it; XDG_DATA_HOME defaults to ~/.local/share), then in
// the system's, $XDG_DATA_DIRS/dbus-1/services and /usr/share/dbus-1/services
// (where the package puts it). Its Exec is a program directory's Kalvex.
namespace ActivationFile {

QString path(); // the user's
// The file the bus goes by: the first found; nothing when there is none.
std::optional<QString> inForce();
// The first system-wide file found, whatever the user's says.
std::optional<QString> systemWide();
// The file's text that starts the Kalvex of the given program directory
// (quoted for the bus's command-line parser when the path needs it).
QString textFor(const QString& programDir);
// Whether that file exists and starts the Kalvex of the given directory.
bool starts(const std::optional<QString>& file, const QString& programDir);
// The program the file starts (its Exec unquoted); nothing when there is no
// such file or its Exec is not one program alone.
std::optional<QString> programOf(const QString& file);
// True when the file in force starts the Kalvex of another directory (the
// installation was moved or copied since it was registered).
bool startsAnotherKalvex(const QString& programDir);

} // namespace ActivationFile
