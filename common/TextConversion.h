#pragma once

#include <QString>

// Conversions of typed-in and stored texts, shared by both programs.
// "1"/"0", any number (true unless zero) and the words True/False give a
// Boolean; a decimal number within 16 bits, rounded halves to even (2.5
// gives 2, 3.5 gives 4), gives an integer. Anything else throws Failure
// ("Type mismatch", or "Overflow" beyond 16 bits).
bool textToBool(const QString& text);
short textToShort(const QString& text);
// A number rounded halves to even to 16 bits; "Overflow" beyond them.
short numberToShort(double number);
// A UDP port, 1 to 65535, read as a number as above; anything else throws Failure.
quint16 textToPort(const QString& text);
