#include "FieldValues.h"

#include "Failure.h"
#include "Reminder.h"

#include <cmath>

namespace {

void requireNotNull(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        throw Failure(QStringLiteral("Invalid use of Null"), 94);
}

double requiredNumber(const QVariant& value)
{
    requireNotNull(value);
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw Failure(QStringLiteral("Type mismatch"), 13);
    return number;
}

} // namespace

short requiredShort(const QVariant& value)
{
    const double rounded = std::nearbyint(requiredNumber(value)); // halves to even
    if (!(rounded >= -32768 && rounded <= 32767))
        throw Failure(QStringLiteral("Overflow"), 6);
    return short(rounded);
}

bool requiredFlag(const QVariant& value)
{
    return requiredNumber(value) != 0;
}

Date requiredDate(const QVariant& value)
{
    requireNotNull(value);
    return dateField(value);
}
