#pragma once

#include <QString>

#include <optional>

// The user's list of programs started at log-on: one XDG autostart desktop
// entry per name, $XDG_CONFIG_HOME/autostart/<name>.desktop, that runs one
// program without arguments.
namespace AutoStart {

// The program the entry starts; nothing when there is no such entry, it is
// switched off (Hidden=true), or its Exec is not one program alone.
std::optional<QString> program(const QString& name);
// Writes the entry, replacing any of that name, in one step. Throws Failure.
void set(const QString& name, const QString& program, const QString& icon);
// Removes the entry; there being none is no failure. Throws Failure.
void remove(const QString& name);

QString entryPath(const QString& name);

} // namespace AutoStart
