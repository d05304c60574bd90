#pragma once

#include <QByteArray>

// The two-tone alert: 3000 Hz then 2500 Hz, 100 ms each, played without
// blocking the caller; with no audio output it falls back to the system beep.
void AlertBeep();

// The PCM samples AlertBeep plays (16-bit signed mono at the given rate).
QByteArray alertBeepSamples(int sampleRate);
