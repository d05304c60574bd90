// Filled in as the subsystem is built.
