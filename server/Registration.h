#pragma once

// "/REGSERVER": makes the session bus start this program's Kalvex on demand.
// Writes the user's activation file (ActivationFile.h), or removes it where
// the system-wide one starts this Kalvex already (an installed package), and
// asks the bus to reload its configuration. Throws Failure when a step fails.
void RegisterServer();
