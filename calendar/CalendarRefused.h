#pragma once

#include "platform/Failure.h"

// Why a series refuses a step count below 1, in the user's words; the
// Gregorian rules give the same reason.
inline const QString kTooFewSteps = QStringLiteral("מספר המרווחים חייב להיות 1 לפחות");

// A date or rule the Hebrew calendar cannot handle; the description is the
// Hebrew text to show the user.
class CalendarRefused : public Failure
{
public:
    explicit CalendarRefused(const QString& description) : Failure(description, 5) {}

    static CalendarRefused outOfRange();
    static CalendarRefused noSuchDate();
    static CalendarRefused icuFailure(const char* icuError);
};
