#pragma once

#include "platform/Failure.h"

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
