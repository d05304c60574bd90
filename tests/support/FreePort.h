#pragma once

#include <QtGlobal>

// A UDP port that nothing on this machine's addresses holds at the moment of asking.
quint16 freeUdpPort();
