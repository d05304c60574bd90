#pragma once

#include "calendar/CalendarRefused.h"
#include "calendar/HebrewDate.h"
#include "calendar/IsraeliDaysOff.h"

#include <QByteArray>
#include <QtTest>

// Dates as Israeli calendars publish them, written here by hand: the first day
// of Rosh Hashana (1 Tishri of the year that begins), the first day of Pesach
// (15 Nisan) and the day Yom HaAtzmaut is celebrated. The Hebrew years 5781-5787
// that begin in 2020-2026 are of every length (353, 354, 355, 383, 384, 385
// days) and begin on every weekday a year may; their Pesach falls on each of
// its four weekdays, so Yom HaAtzmaut is kept, brought forward from Friday and
// from Saturday and put off from Monday. 2000 is a deficient year in a
// Gregorian century's leap year.
struct PublishedYear
{
    int year;
    QDate roshHashana, pesach, yomHaAtzmaut;
};

// clang-format off
inline const PublishedYear kPublishedYears[] = {
    {2000, {2000, 9, 30}, {2000, 4, 20}, {2000, 5, 10}},
    {2001, {2001, 9, 18}, {2001, 4, 8},  {2001, 4, 26}},
    {2020, {2020, 9, 19}, {2020, 4, 9},  {2020, 4, 29}},
    {2021, {2021, 9, 7},  {2021, 3, 28}, {2021, 4, 15}},
    {2022, {2022, 9, 26}, {2022, 4, 16}, {2022, 5, 5}},
    {2023, {2023, 9, 16}, {2023, 4, 6},  {2023, 4, 26}},
    {2024, {2024, 10, 3}, {2024, 4, 23}, {2024, 5, 14}},
    {2025, {2025, 9, 23}, {2025, 4, 13}, {2025, 5, 1}},
    {2026, {2026, 9, 12}, {2026, 4, 2},  {2026, 4, 22}},
    {2027, {2027, 10, 2}, {2027, 4, 22}, {2027, 5, 12}},
};
// clang-format on

// The Hebrew year whose Rosh Hashana falls in the autumn of a Gregorian year.
inline int yearBeginningIn(int gregorianYear)
{
    return gregorianYear + 3761;
}

inline char* toString(const HebrewDate& d)
{
    return qstrdup(QByteArray::number(d.year) + '-' + QByteArray::number(int(d.month)) + '-' +
                   QByteArray::number(d.day));
}

inline char* toString(const DayOff& d)
{
    return qstrdup(qPrintable(d.date.toString(Qt::ISODate) + QLatin1Char(' ') + d.name));
}

// The Hebrew description of the CalendarRefused that work throws; empty when
// it throws none.
template <typename Work> QString refusalOf(const Work& work)
{
    try {
        work();
    } catch (const CalendarRefused& refused) {
        return refused.description();
    }
    return {};
}
