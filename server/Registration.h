#pragma once

// "/REGSERVER": makes the session bus start this program's Kalvex on demand.
// Writes the activation file (ActivationFile.h) and asks the bus to reload
// its configuration. Throws Failure when either step fails.
void RegisterServer();
