#pragma once

#include <QString>

// The step count as typed into TxtNPeriod, converted as every typed number
// is (textToShort).

// The smallest count the recurrence can advance by.
constexpr short MinStepCount = 1;

// True when the text converts to a count the recurrence can advance by.
bool IsUsableStepText(const QString& text);
