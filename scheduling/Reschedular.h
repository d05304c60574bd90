#pragma once

#include "platform/Date.h"

#include <optional>

// Moves one reminder on to its next occurrence, or switches it off; a rule
// that yields no next occurrence switches it off too, logged as
// "Reschedular: <description>". Given shownNext, the row is moved on only
// while its RNext is still that moment. Any other failure is logged the same
// way and leaves the row unchanged.
void Reschedular(qint32 reminderId, const std::optional<Date>& shownNext = std::nullopt);
