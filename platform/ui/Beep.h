#pragma once

#include <QByteArray>

#include <functional>

// The two-tone alert: 3000 Hz then 2500 Hz, 100 ms each, played without
// blocking the caller; with no audio output it falls back to the system beep.
void AlertBeep();

// The PCM samples AlertBeep plays (16-bit signed mono at the given rate).
QByteArray alertBeepSamples(int sampleRate);

// Test seam: while an observer is installed AlertBeep only calls it and plays
// nothing. An empty function removes it.
void setAlertBeepObserver(std::function<void()> observer);
