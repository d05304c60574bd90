#pragma once

// The end of our own process. (Waiting for other processes: ProcessWait.h.)
namespace Processes {

// Ends this process at once with the exit code, skipping every unload and
// destructor.
[[noreturn]] void endNow(int exitCode);

} // namespace Processes
