#pragma once

#include "scheduling/ReminderWrites.h"

class QComboBox;

// The postponement choices an alert offers ("5 דקות" ... "חודשיים"), each
// with its stored code, unit x 1000 + count (units as Date::Unit).
void addDelayChoices(QComboBox* box);

// Postpones the reminder by the choice of that code, as "תזכיר לי בעוד" does.
Postponement postponeByChoice(qint32 reminderId, int delayCode);
