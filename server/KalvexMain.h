#pragma once

// The whole of Kalvex's start-up. "Kalvex /REGSERVER" registers the class
// with the session bus and ends; "Kalvex --add ...", "--list", "--delete"
// is the command line (CommandLine.h); otherwise Kalvex logs to "Kalvex.log", serves
// KVClass on the session bus and ends by itself when it has nothing to do.
// Returns the process exit code.
int KalvexMain(int argc, char* argv[]);
