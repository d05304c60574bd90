#pragma once

#include <QDate>
#include <QList>
#include <QString>

// Israel's days off, which the working-day rules skip: Rosh Hashana (two
// days), Yom Kippur, the first day of Sukkot, Shemini Atzeret, the first and
// the seventh day of Pesach, Shavuot and Yom HaAtzmaut (from 1949, moved as
// the law moves it).
struct DayOff
{
    QDate date;
    QString name; // "ראש השנה א'", "יום כיפור", "יום העצמאות", ...

    bool operator==(const DayOff&) const = default;
};

// The days off of a Gregorian year of 1900-2200 in date order, each with its
// Hebrew name; other years throw CalendarRefused. The first call for a year
// computes it from the Hebrew calendar, later calls read it from memory.
QList<DayOff> israeliDaysOff(int gregorianYear);
// Whether the date is a day off. Outside 1900-2200 no days off are known and
// every date is false.
bool isIsraeliDayOff(const QDate& date);
