#pragma once

#include <QtGlobal>

// A UDP port below 32768 (the settings file holds a 16-bit signed port) that
// nothing on this machine's addresses holds at the moment of asking.
quint16 freeUdpPort();
