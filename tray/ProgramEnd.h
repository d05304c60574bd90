#pragma once

#include <functional>

// How Tolvane ends. In-process tests put a recorder in place of the ending.
namespace ProgramEnd {

// Leaves the event loop; asked before the loop runs, the loop ends as soon as
// it starts.
void quit();
// Ends the process at once, skipping every unload.
void now();

// The hook receives true for now(), false for quit(); nullptr restores the real ending.
void setHook(std::function<void(bool atOnce)> hook);

} // namespace ProgramEnd
