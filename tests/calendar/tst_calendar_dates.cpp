#include "calendar/HebrewDateText.h"
#include "calendar/HebrewNumerals.h"
#include "tests/calendar/CalendarFixtures.h"

#include <QTest>

using M = HebrewMonth;

class CalendarDatesTest : public QObject
{
    Q_OBJECT

private slots:
    // Rosh Hashana and Pesach of the published years convert both ways.
    void publishedDatesConvertBothWays()
    {
        for (const auto& p : kPublishedYears) {
            const HebrewDate roshHashana{yearBeginningIn(p.year), M::Tishri, 1};
            const HebrewDate pesach{yearBeginningIn(p.year) - 1, M::Nisan, 15};
            QCOMPARE(hebrewDateOf(p.roshHashana), roshHashana);
            QCOMPARE(gregorianDateOf(roshHashana), p.roshHashana);
            QCOMPARE(hebrewDateOf(p.pesach), pesach);
            QCOMPARE(gregorianDateOf(pesach), p.pesach);
        }
    }

    // Years 3, 6, 8, 11, 14, 17 and 19 of the 19-year cycle are leap years.
    void leapYearsFollowTheCycle()
    {
        const QList<int> leap{5760, 5763, 5765, 5768, 5771, 5774, 5776, 5779,
                              5782, 5784, 5787, 5790, 5793, 5795, 5798};
        for (int year = 5760; year <= 5800; ++year) {
            QCOMPARE(isHebrewLeapYear(year), leap.contains(year));
            QCOMPARE(monthsInHebrewYear(year), leap.contains(year) ? 13 : 12);
        }
    }

    // Heshvan and Kislev by the year's length (published Rosh Hashana to the
    // next): 353/383 days both 29, 354/384 Kislev 30, 355/385 both 30.
    void heshvanAndKislevFollowTheYearsLength()
    {
        for (int i = 0; i + 1 < int(std::size(kPublishedYears)); ++i) {
            if (kPublishedYears[i + 1].year != kPublishedYears[i].year + 1)
                continue;
            const int year = yearBeginningIn(kPublishedYears[i].year);
            const int length =
                kPublishedYears[i].roshHashana.daysTo(kPublishedYears[i + 1].roshHashana);
            const int kind = length % 10 - 3; // 0 deficient, 1 regular, 2 complete
            QCOMPARE(daysInHebrewMonth(year, M::Heshvan), kind == 2 ? 30 : 29);
            QCOMPARE(daysInHebrewMonth(year, M::Kislev), kind == 0 ? 29 : 30);
        }
    }

    void fixedMonthsHaveTheirLengths()
    {
        // Tishri to Elul, Heshvan and Kislev aside; Adar I 0 in a common year.
        const int leap[] = {30, 0, 0, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29};
        for (int year : {5784, 5785}) {
            for (int month : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
                const int expected = month == 5 && year == 5785 ? 0 : leap[month];
                QCOMPARE(daysInHebrewMonth(year, M(month)), expected);
            }
        }
    }

    // Dates a year lacks have no Gregorian date; their neighbours do.
    void missingDatesHaveNoGregorianDate()
    {
        const HebrewDate missing[] = {{5784, M::Heshvan, 30}, {5784, M::Kislev, 30},
                                      {5786, M::Heshvan, 30}, {5785, M::AdarI, 1},
                                      {5785, M::Adar, 30},    {5785, M::Tishri, 31},
                                      {5785, M::Tishri, 0},   {5785, M(13), 1}};
        for (const auto& d : missing)
            QCOMPARE(gregorianDateOf(d), std::nullopt);
        QCOMPARE(gregorianDateOf({5786, M::Kislev, 30}), QDate(2025, 12, 20));
        QCOMPARE(gregorianDateOf({5784, M::AdarI, 30}), QDate(2024, 3, 10));
        QCOMPARE(gregorianDateOf({5785, M::Heshvan, 30}), QDate(2024, 12, 1));
    }

    // 1900-2200 and the Hebrew years that hold them, nothing beyond.
    void datesOutsideTheRangeAreRefused()
    {
        const QString outOfRange = QStringLiteral("התאריך מחוץ לטווח הלוח העברי (השנים 1900–2200)");
        QCOMPARE(firstHebrewYear(), 5660);
        QCOMPARE(lastHebrewYear(), 5961);
        QCOMPARE(refusalOf([] { hebrewDateOf(QDate(1899, 12, 31)); }), outOfRange);
        QCOMPARE(refusalOf([] { hebrewDateOf(QDate(2201, 1, 1)); }), outOfRange);
        QCOMPARE(refusalOf([] { hebrewDateOf(QDate()); }), outOfRange);
        QCOMPARE(refusalOf([] { gregorianDateOf({5660, M::Tishri, 1}); }), outOfRange);
        QCOMPARE(refusalOf([] { gregorianDateOf({5962, M::Tishri, 1}); }), outOfRange);
        QCOMPARE(refusalOf([] { isHebrewLeapYear(5659); }), outOfRange);
        QCOMPARE(refusalOf([] { daysInHebrewMonth(5962, M::Tishri); }), outOfRange);
    }

    void numeralsUseGereshAndGershayim()
    {
        // clang-format off
        const std::pair<int, const char*> numerals[] = {
            {1, "א'"}, {9, "ט'"}, {10, "י'"}, {11, "י\"א"}, {15, "ט\"ו"}, {16, "ט\"ז"},
            {17, "י\"ז"}, {19, "י\"ט"}, {20, "כ'"}, {27, "כ\"ז"}, {29, "כ\"ט"}, {30, "ל'"},
            {100, "ק'"}, {115, "קט\"ו"}, {400, "ת'"}, {660, "תר\"ס"}, {700, "ת\"ש"},
            {715, "תשט\"ו"}, {716, "תשט\"ז"}, {744, "תשמ\"ד"}, {787, "תשפ\"ז"},
            {800, "ת\"ת"}, {900, "תת\"ק"}, {961, "תתקס\"א"}, {999, "תתקצ\"ט"}};
        // clang-format on
        for (const auto& [number, text] : numerals)
            QCOMPARE(hebrewNumeral(number), QString::fromUtf8(text));
        QVERIFY_THROWS_EXCEPTION(Failure, hebrewNumeral(0));
        QVERIFY_THROWS_EXCEPTION(Failure, hebrewNumeral(1000));
    }

    void datesReadInHebrew()
    {
        // clang-format off
        const std::pair<HebrewDate, const char*> dates[] = {
            {{5787, M::Kislev, 27}, "כ\"ז בכסלו תשפ\"ז"},
            {{5787, M::Tishri, 1}, "א' בתשרי תשפ\"ז"},
            {{5786, M::Shevat, 15}, "ט\"ו בשבט תשפ\"ו"},
            {{5786, M::Heshvan, 16}, "ט\"ז בחשוון תשפ\"ו"},
            {{5784, M::AdarI, 14}, "י\"ד באדר א' תשפ\"ד"},
            {{5784, M::Adar, 14}, "י\"ד באדר ב' תשפ\"ד"},
            {{5785, M::Adar, 14}, "י\"ד באדר תשפ\"ה"},
            {{5785, M::Tevet, 10}, "י' בטבת תשפ\"ה"},
            {{5785, M::Nisan, 21}, "כ\"א בניסן תשפ\"ה"},
            {{5785, M::Iyar, 5}, "ה' באייר תשפ\"ה"},
            {{5785, M::Sivan, 6}, "ו' בסיוון תשפ\"ה"},
            {{5785, M::Tamuz, 17}, "י\"ז בתמוז תשפ\"ה"},
            {{5785, M::Av, 9}, "ט' באב תשפ\"ה"},
            {{5785, M::Elul, 1}, "א' באלול תשפ\"ה"},
            {{5800, M::Elul, 29}, "כ\"ט באלול ת\"ת"}};
        // clang-format on
        for (const auto& [date, text] : dates)
            QCOMPARE(formatHebrewDate(date), QString::fromUtf8(text));
        QCOMPARE(formatHebrewDate(QDate(2026, 12, 7)), QString::fromUtf8("כ\"ז בכסלו תשפ\"ז"));
        QCOMPARE(formatHebrewDayMonth({5785, M::Tishri, 1}), QString::fromUtf8("א' בתשרי"));
    }
};

QTEST_GUILESS_MAIN(CalendarDatesTest)
#include "tst_calendar_dates.moc"
