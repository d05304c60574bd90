#pragma once

#include <functional>

// Whether the desktop can take a tray icon now. "No system tray available"
// is the platform refusing the icon; tests choose the answer.
namespace TrayHost {

bool available();
void setAvailability(std::function<bool()> probe); // nullptr: ask the desktop

} // namespace TrayHost
