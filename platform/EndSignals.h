#pragma once

#include <functional>

// Log-out: the session asks a program to end with SIGTERM or SIGHUP. Once
// installed, either signal runs onEnd on the user-interface thread, from the
// event loop (also from a nested one), instead of killing the process.
namespace EndSignals {

void install(std::function<void()> onEnd);

} // namespace EndSignals
