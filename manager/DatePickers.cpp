#include "manager/DatePickers.h"

#include <QDateEdit>
#include <QTimeEdit>

Date pickedDate(const QDateEdit* datePicker, const QTimeEdit* timePicker)
{
    return Date::fromParts(datePicker->date(), timePicker->time());
}

void showDate(const Date& d, QDateEdit* datePicker, QTimeEdit* timePicker)
{
    datePicker->setDate(d.date());
    timePicker->setTime(d.time());
}
