#pragma once

// "Kalvex --add ...", "Kalvex --list", "Kalvex --delete ID": reminders from a
// shell. Each calls the Kalvex that serves the session (the bus starts it,
// after registering this program directory's Kalvex when the bus would start
// none or another one), prints the new RMain_Id or the list on standard
// output and tells in Hebrew on standard error what went wrong.
// Exit codes: 0 done, 1 refused input (nothing written), 2 Kalvex could not
// be reached or failed.

// True when the arguments ask for the command line (an option starting
// with "--", or -h) rather than for serving.
bool isCommandLine(int argc, char* argv[]);
int CommandLineMain(int argc, char* argv[]);
