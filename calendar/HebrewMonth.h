#pragma once

// Hebrew months as ICU numbers them. Adar I exists in leap years only; month 6
// is Adar in a common year and Adar II in a leap year, so "Adar" keeps its
// number whatever the year.
enum class HebrewMonth {
    Tishri = 0,
    Heshvan = 1,
    Kislev = 2,
    Tevet = 3,
    Shevat = 4,
    AdarI = 5,
    Adar = 6,
    Nisan = 7,
    Iyar = 8,
    Sivan = 9,
    Tamuz = 10,
    Av = 11,
    Elul = 12,
};

struct HebrewDate
{
    int year = 0; // from the creation, 5787 = September 2026 to September 2027
    HebrewMonth month = HebrewMonth::Tishri;
    int day = 0;

    bool operator==(const HebrewDate&) const = default;
};
