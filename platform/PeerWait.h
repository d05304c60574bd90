#pragma once

// How long a user-interface thread of one program waits on the other program
// (a call into Kalvex, a window-directory request, Kalvex registering
// itself). A peer that hangs costs the caller this long at most; the caller
// then logs the time-out under its own name and carries on.
inline constexpr int kPeerWaitMs = 5000;
