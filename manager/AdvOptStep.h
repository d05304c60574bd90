#pragma once

#include <QString>

// The step count as typed into TxtNPeriod.

// Converts the text to a 16-bit count as the window stores it: a fraction is
// rounded to the nearest integer, halves to the even one (2.5 gives 2, 3.5
// gives 4). Throws Failure "Type mismatch" for text that is not a number and
// "Overflow" for a count outside the 16-bit range.
short StepCountFromText(const QString& text);

// The smallest count the recurrence can advance by.
constexpr short MinStepCount = 1;

// True when the text converts to a count the recurrence can advance by.
bool IsUsableStepText(const QString& text);
