#pragma once

// The start-up of Tolvane's module modMain.
namespace modMain {

// Start-up. False when this start ends here (a second start, or a copy from
// another directory); true when the main form is loaded and the event loop
// should run.
bool Main();

} // namespace modMain
