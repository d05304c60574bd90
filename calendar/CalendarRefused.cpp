#include "calendar/CalendarRefused.h"

CalendarRefused CalendarRefused::outOfRange()
{
    return CalendarRefused(QStringLiteral("התאריך מחוץ לטווח הלוח העברי (השנים 1900–2200)"));
}

CalendarRefused CalendarRefused::noSuchDate()
{
    return CalendarRefused(QStringLiteral("התאריך העברי אינו קיים"));
}

CalendarRefused CalendarRefused::icuFailure(const char* icuError)
{
    return CalendarRefused(
        QStringLiteral("הלוח העברי אינו זמין (ICU: %1)").arg(QString::fromLatin1(icuError)));
}
