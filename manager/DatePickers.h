#pragma once

#include "platform/Date.h"

#include <utility>

class QDateEdit;
class QString;
class QTimeEdit;
class QWidget;

// A date and time shown in a pair of pickers (the editor's due date, the
// advanced options' start and end): the date of one joined to the time of
// the other.

// Creates the pair under parent with their control names: a date picker
// "dd/MM/yyyy" with a calendar pop-up over the days Date holds, and a time
// picker "HH:mm".
std::pair<QDateEdit*, QTimeEdit*> NewDatePickers(QWidget* parent, const QString& dateName,
                                                 const QString& timeName);
Date pickedDate(const QDateEdit* datePicker, const QTimeEdit* timePicker);
void showDate(const Date& d, QDateEdit* datePicker, QTimeEdit* timePicker);
