#include "alert/DelayChoices.h"

#include <QComboBox>

namespace {

struct DelayChoice
{
    const char* text;
    int code;
};
const DelayChoice kDelayChoices[] = {
    {"5 דקות", 5},  {"10 דקות", 10},   {"15 דקות", 15}, {"30 דקות", 30},
    {"שעה", 1001},  {"שעתיים", 1002},  {"יום", 2001},   {"יומיים", 2002},
    {"שבוע", 2007}, {"שבועיים", 2014}, {"חודש", 4001},  {"חודשיים", 4002},
};

} // namespace

void addDelayChoices(QComboBox* box)
{
    for (const DelayChoice& choice : kDelayChoices)
        box->addItem(QString::fromUtf8(choice.text), choice.code);
}

Postponement postponeByChoice(qint32 reminderId, int delayCode)
{
    return PostponeReminder(reminderId, delayCode / 1000, delayCode % 1000);
}
