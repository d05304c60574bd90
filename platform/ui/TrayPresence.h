#pragma once

// Whether the desktop has a tray that can take an icon, asked without
// creating one: Qt decides once per process, when its first tray icon is
// created, whether to use a StatusNotifier host, so an icon created before a
// late panel has come up would never reach it.
namespace TrayPresence {

// A StatusNotifier watcher (KDE, AppIndicator, XFCE's plugin) is on the
// session bus and a host has registered with it.
bool statusNotifierHost();
// An XEmbed tray owns the system-tray selection of the X screen.
bool xembedTray();

} // namespace TrayPresence
