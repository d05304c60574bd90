#pragma once

#include "platform/Failure.h"

// A rule the recurrence cannot advance by; value() tells which part of it.
// The description names the bad value for the log.
class RuleRefused : public Failure
{
public:
    enum Value { StepCount, Unit, WeekDayMask, DayKind, Occurrence, AdvancedUnit, EventType };
    RuleRefused(const QString& description, Value value) : Failure(description, 5), m_value(value)
    {}
    Value value() const { return m_value; }

private:
    Value m_value;
};

// Guards of the recurrence walks: a rule that could never yield an occurrence
// is refused with a Failure naming the bad value, so no walk runs without end.
void requireStepCount(short n);
void requireUnit(short unit);
void requireWeekDayMask(short mask);
void requireMonthRule(short monthDayKind, short monthCount);
