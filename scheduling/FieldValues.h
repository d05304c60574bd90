#pragma once

#include "Date.h"

#include <QVariant>

// Field values converted to the types the recurrence step works with. A null
// or a value that does not fit is a Failure, as the step cannot go on with it.
short requiredShort(const QVariant& value);
bool requiredFlag(const QVariant& value);
Date requiredDate(const QVariant& value);
