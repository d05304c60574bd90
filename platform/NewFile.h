#pragma once

#include <QString>

// Puts a finished file in place under its final name unless something exists
// there already: a file that appeared meanwhile is never replaced, and the
// finished file is then simply not used. Throws Failure with the system's
// description when it cannot be put in place.
void placeNewFile(const QString& finished, const QString& target);
