#pragma once

// Programs the session bus starts get the bus's activation environment, not
// their caller's. A bus started before the graphical session (a systemd user
// bus) lacks the display, so a program it starts could open no window.
namespace ActivationEnvironment {

// Hands this process's display variables (DISPLAY, WAYLAND_DISPLAY,
// XAUTHORITY, XDG_RUNTIME_DIR, XDG_SESSION_TYPE, QT_QPA_PLATFORM), those that
// are set, to the bus. Throws Failure when the bus refuses.
void handDisplay();

} // namespace ActivationEnvironment
