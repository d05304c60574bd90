#include "calendar/HebrewDateText.h"

#include "calendar/CalendarRefused.h"

#include "calendar/HebrewNumerals.h"

QString hebrewMonthName(HebrewMonth month, bool leapYear)
{
    switch (month) {
    case HebrewMonth::Tishri:
        return QStringLiteral("תשרי");
    case HebrewMonth::Heshvan:
        return QStringLiteral("חשוון");
    case HebrewMonth::Kislev:
        return QStringLiteral("כסלו");
    case HebrewMonth::Tevet:
        return QStringLiteral("טבת");
    case HebrewMonth::Shevat:
        return QStringLiteral("שבט");
    case HebrewMonth::AdarI:
        return QStringLiteral("אדר א'");
    case HebrewMonth::Adar:
        return leapYear ? QStringLiteral("אדר ב'") : QStringLiteral("אדר");
    case HebrewMonth::Nisan:
        return QStringLiteral("ניסן");
    case HebrewMonth::Iyar:
        return QStringLiteral("אייר");
    case HebrewMonth::Sivan:
        return QStringLiteral("סיוון");
    case HebrewMonth::Tamuz:
        return QStringLiteral("תמוז");
    case HebrewMonth::Av:
        return QStringLiteral("אב");
    case HebrewMonth::Elul:
        return QStringLiteral("אלול");
    }
    return {};
}

QString hebrewYearText(int year)
{
    return hebrewNumeral(year % 1000);
}

QString formatHebrewDayMonth(const HebrewDate& date)
{
    return hebrewNumeral(date.day) + QStringLiteral(" ב") +
           hebrewMonthName(date.month, isHebrewLeapYear(date.year));
}

QString formatHebrewDate(const HebrewDate& date)
{
    return formatHebrewDayMonth(date) + u' ' + hebrewYearText(date.year);
}

QString formatHebrewDate(const QDate& date)
{
    return formatHebrewDate(hebrewDateOf(date));
}

QString hebrewDateBeside(const QDate& date)
{
    if (!date.isValid() || date < firstCalendarDay() || date > lastCalendarDay())
        return QString();
    try {
        return formatHebrewDate(date);
    } catch (const CalendarRefused&) {
        return QString();
    }
}
