#include "calendar/HebrewRuleChecks.h"

#include "calendar/CalendarRefused.h"
#include "calendar/HebrewDateText.h"

void requireHebrewStepCount(short n)
{
    if (n < 1)
        throw CalendarRefused(kTooFewSteps);
}

void requireHebrewStart(const HebrewDate& start)
{
    if (gregorianDateOf(start))
        return;
    if (start.month < HebrewMonth::Tishri || start.month > HebrewMonth::Elul || start.day < 1 ||
        start.day > 30)
        throw CalendarRefused::noSuchDate();
    throw CalendarRefused(QStringLiteral("בשנת %1 אין %2")
                              .arg(hebrewYearText(start.year), formatHebrewDayMonth(start)));
}
