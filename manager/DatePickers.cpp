#include "manager/DatePickers.h"

#include "platform/ui/Named.h"

#include <QDateEdit>
#include <QTimeEdit>

namespace {

// Dates and times read left to right also in a right-to-left window (the
// picker would otherwise show its sections in reverse order). The direction
// must be set before the format, which the picker parses at once.
template <typename Picker>
Picker* leftToRightPicker(QWidget* parent, const QString& name, const QString& format)
{
    auto* picker = named(new Picker(parent), name);
    picker->setLayoutDirection(Qt::LeftToRight);
    picker->setDisplayFormat(format);
    return picker;
}

} // namespace

std::pair<QDateEdit*, QTimeEdit*> NewDatePickers(QWidget* parent, const QString& dateName,
                                                 const QString& timeName)
{
    auto* date = leftToRightPicker<QDateEdit>(parent, dateName, QStringLiteral("dd/MM/yyyy"));
    date->setDateRange(Date::firstDay(), Date::lastDay());
    date->setCalendarPopup(true);
    return {date, leftToRightPicker<QTimeEdit>(parent, timeName, QStringLiteral("HH:mm"))};
}

Date pickedDate(const QDateEdit* datePicker, const QTimeEdit* timePicker)
{
    return Date::fromParts(datePicker->date(), timePicker->time());
}

void showDate(const Date& d, QDateEdit* datePicker, QTimeEdit* timePicker)
{
    datePicker->setDate(d.date());
    timePicker->setTime(d.time());
}
