#pragma once

#include "platform/Date.h"

class QDateEdit;
class QTimeEdit;

// A date and time shown in a pair of pickers (the editor's due date, the
// advanced options' start and end): the date of one joined to the time of
// the other.
Date pickedDate(const QDateEdit* datePicker, const QTimeEdit* timePicker);
void showDate(const Date& d, QDateEdit* datePicker, QTimeEdit* timePicker);
