#pragma once

#include <functional>

// Whether the desktop can take a tray icon now. "No system tray available"
// is the platform refusing the icon; tests choose the answer.
namespace TrayHost {

bool available();
// The tray is a StatusNotifier host, where a click on the icon arrives as
// Trigger and never as DoubleClick.
bool statusNotifier();
void setAvailability(std::function<bool()> probe); // nullptr: ask the desktop

// How long the load waits for a panel that comes up after Tolvane before it
// asks about the icon, and how often it looks.
struct Patience
{
    int waitMs = 45000;
    int lookMs = 1000;
};
Patience patience();
void setPatience(const Patience& patience); // tests wait less

} // namespace TrayHost
