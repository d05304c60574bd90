#pragma once

#include <QString>
#include <QStringList>

// The user's and the system's base folders of the XDG base-directory rules.
// A variable that is unset, empty or not an absolute path counts as unset,
// and its default applies.
namespace XdgDirs {

QString dataHome();       // $XDG_DATA_HOME, else ~/.local/share
QString configHome();     // $XDG_CONFIG_HOME, else ~/.config
QString stateHome();      // $XDG_STATE_HOME, else ~/.local/state
QStringList dataDirs();   // $XDG_DATA_DIRS, else /usr/local/share and /usr/share
QStringList configDirs(); // $XDG_CONFIG_DIRS, else /etc/xdg

} // namespace XdgDirs
