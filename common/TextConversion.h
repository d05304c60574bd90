#pragma once

#include <QString>

// Conversions of the settings file's texts, shared by both programs.
// "1"/"0", any number (true unless zero) and the words True/False give a
// Boolean; a number within 16 bits, rounded halves to even, gives an integer.
// Anything else throws Failure ("Type mismatch", or "Overflow" beyond 16 bits).
bool textToBool(const QString& text);
short textToShort(const QString& text);
// A UDP port, 1 to 65535, read as a number as above; anything else throws Failure.
quint16 textToPort(const QString& text);
