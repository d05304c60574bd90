#pragma once

#include <QString>

#include <optional>

// The user's list of programs started at log-on: XDG autostart desktop
// entries that each run one program without arguments. An entry is known by
// two file names: the user's own, $XDG_CONFIG_HOME/autostart/<name>.desktop,
// and the one under which the system gives it to every user,
// $XDG_CONFIG_DIRS/autostart/<systemName>.desktop (by default in
// /etc/xdg/autostart, where an installed package puts its own). A user's
// file of the system's name overrides the system's; "Hidden=true" in it
// switches the system's off for that user.
namespace AutoStart {

struct Entry
{
    QString name;
    QString systemName;
};

// The program the entry starts at log-on, the user's own before the
// system's; nothing when there is none, it is switched off, or its Exec is
// not one program alone.
std::optional<QString> program(const Entry& entry);
// The same of the user's own file of that name alone.
std::optional<QString> usersProgram(const QString& name);
// Starts the program at log-on, once. Where the system's entry starts it
// already, the user's own files go; otherwise the user's own is written,
// replacing any of that name in one step, and the system's, starting
// another program, is switched off for this user. Throws Failure.
void set(const Entry& entry, const QString& program, const QString& icon);
// Starts nothing at log-on: the user's own goes, and the system's is
// switched off for this user. There being none is no failure. Throws Failure.
void remove(const Entry& entry);

QString entryPath(const QString& name); // the user's own

} // namespace AutoStart
