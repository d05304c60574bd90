#pragma once

#include "calendar/CalendarRefused.h"
#include "calendar/HebrewDate.h"
#include "calendar/IsraeliDaysOff.h"

#include <QByteArray>
#include <QtTest>

// Dates of 2000-2035 as Israeli calendars publish them, written here by hand:
// the first day of Rosh Hashana (1 Tishri of the year that begins), the first
// day of Pesach (15 Nisan) and the day Yom HaAtzmaut is celebrated.
struct PublishedYear
{
    int year;
    QDate roshHashana, pesach, yomHaAtzmaut;
};

// clang-format off
inline const PublishedYear kPublishedYears[] = {
    {2000, {2000, 9, 30}, {2000, 4, 20}, {2000, 5, 10}},
    {2001, {2001, 9, 18}, {2001, 4, 8},  {2001, 4, 26}},
    {2002, {2002, 9, 7},  {2002, 3, 28}, {2002, 4, 17}},
    {2003, {2003, 9, 27}, {2003, 4, 17}, {2003, 5, 7}},
    {2004, {2004, 9, 16}, {2004, 4, 6},  {2004, 4, 27}},
    {2005, {2005, 10, 4}, {2005, 4, 24}, {2005, 5, 12}},
    {2006, {2006, 9, 23}, {2006, 4, 13}, {2006, 5, 3}},
    {2007, {2007, 9, 13}, {2007, 4, 3},  {2007, 4, 24}},
    {2008, {2008, 9, 30}, {2008, 4, 20}, {2008, 5, 8}},
    {2009, {2009, 9, 19}, {2009, 4, 9},  {2009, 4, 29}},
    {2010, {2010, 9, 9},  {2010, 3, 30}, {2010, 4, 20}},
    {2011, {2011, 9, 29}, {2011, 4, 19}, {2011, 5, 10}},
    {2012, {2012, 9, 17}, {2012, 4, 7},  {2012, 4, 26}},
    {2013, {2013, 9, 5},  {2013, 3, 26}, {2013, 4, 16}},
    {2014, {2014, 9, 25}, {2014, 4, 15}, {2014, 5, 6}},
    {2015, {2015, 9, 14}, {2015, 4, 4},  {2015, 4, 23}},
    {2016, {2016, 10, 3}, {2016, 4, 23}, {2016, 5, 12}},
    {2017, {2017, 9, 21}, {2017, 4, 11}, {2017, 5, 2}},
    {2018, {2018, 9, 10}, {2018, 3, 31}, {2018, 4, 19}},
    {2019, {2019, 9, 30}, {2019, 4, 20}, {2019, 5, 9}},
    {2020, {2020, 9, 19}, {2020, 4, 9},  {2020, 4, 29}},
    {2021, {2021, 9, 7},  {2021, 3, 28}, {2021, 4, 15}},
    {2022, {2022, 9, 26}, {2022, 4, 16}, {2022, 5, 5}},
    {2023, {2023, 9, 16}, {2023, 4, 6},  {2023, 4, 26}},
    {2024, {2024, 10, 3}, {2024, 4, 23}, {2024, 5, 14}},
    {2025, {2025, 9, 23}, {2025, 4, 13}, {2025, 5, 1}},
    {2026, {2026, 9, 12}, {2026, 4, 2},  {2026, 4, 22}},
    {2027, {2027, 10, 2}, {2027, 4, 22}, {2027, 5, 12}},
    {2028, {2028, 9, 21}, {2028, 4, 11}, {2028, 5, 2}},
    {2029, {2029, 9, 10}, {2029, 3, 31}, {2029, 4, 19}},
    {2030, {2030, 9, 28}, {2030, 4, 18}, {2030, 5, 8}},
    {2031, {2031, 9, 18}, {2031, 4, 8},  {2031, 4, 29}},
    {2032, {2032, 9, 6},  {2032, 3, 27}, {2032, 4, 15}},
    {2033, {2033, 9, 24}, {2033, 4, 14}, {2033, 5, 4}},
    {2034, {2034, 9, 14}, {2034, 4, 4},  {2034, 4, 25}},
    {2035, {2035, 10, 4}, {2035, 4, 24}, {2035, 5, 15}},
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
