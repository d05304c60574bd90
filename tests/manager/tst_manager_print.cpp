// Printing from the manager window on a real CUPS default printer (a PDF
// printer of the test's own scheduler), read back from the PDF.
#include "ManagerFixture.h"

#include "LanSettings.h"
#include "PrivateCups.h"
#include "Prompt.h"

#include <QAction>
#include <QTest>

#include <unistd.h>

namespace {

const QString S(QChar(0x05C3)); // the separator before each column of a printed row

QString joined(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class PrintTest : public QObject
{
    Q_OBJECT
    PrivateCups cups;
    std::unique_ptr<ManagerFixture> f;

    void trigger(const char* action) { f->find<QAction>(QString::fromLatin1(action))->trigger(); }

private slots:
    void initTestCase()
    {
        QString why;
        if (!cups.start(&why)) {
            if (::geteuid() != 0)
                QSKIP(
                    qPrintable(QStringLiteral("cannot run a CUPS scheduler without root: ") + why));
            QFAIL(qPrintable(why));
        }
    }
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    void withoutADefaultPrinterTheUserIsToldAndNothingPrints()
    {
        f->add({{"RCaption", "a"}});
        f->open();
        for (const char* name : {"mnu_PrinCurrent", "mnu_PrintList"}) {
            Prompt::setNextAnswer(Prompt::Answer::Ok);
            trigger(name);
        }
        const QStringList log = f->logLines();
        QCOMPARE(log.size(), 2);
        QVERIFY2(log[0].endsWith(" -> PrintCurrent: There is no default printer"),
                 qPrintable(log[0]));
        QVERIFY2(log[1].endsWith(" -> PrintList: There is no default printer"), qPrintable(log[1]));
        QCOMPARE(Prompt::history().size(), 2);
        QCOMPARE(Prompt::history()[1].text,
                 QStringLiteral("לא הוגדרה מדפסת ברירת מחדל. ההדפסה בוטלה."));
        QVERIFY(cups.takePrintedLines(0).isEmpty());

        QString why;
        QVERIFY2(cups.addPdfPrinter(QStringLiteral("PDF"), true, &why), qPrintable(why));
    }

    void printsTheCurrentReminderAsACard()
    {
        f->add({{"RCaption", "פגישה עם דנה"},
                {"RDetail", "שורה ראשונה\r\nשורה 2"},
                {"RAuthor", "dana"},
                {"RImportance", 2},
                {"REventType", 5},
                {"RDate", dated(2026, 4, 1, 9, 5)},
                {"RDate0", dated(2026, 3, 15)}});
        f->open();
        for (bool withAuthor : {true, false}) {
            LANOptReceive = withAuthor;
            trigger("mnu_PrinCurrent");
            QStringList expected = {"    תזכורון ולטרום - הדפסת תזכורת נוכחית",
                                    "    תאריך יעד:    01/04/2026 09:05",
                                    "    תאריך רישום:  15/03/2026",
                                    "    הכותרת:       פגישה עם דנה",
                                    "    חשיבות:       גבוהה",
                                    "    סוג מופע:     יומי",
                                    "    מחבר:         dana",
                                    "    פרטים:        שורה ראשונה",
                                    "שורה 2",
                                    "    פעיל:         כן"};
            if (!withAuthor)
                expected.removeAt(6);
            QStringList printed = cups.takePrintedLines();
            QVERIFY(!printed.isEmpty());
            QCOMPARE(joined(printed), joined(expected));
        }
        QVERIFY(f->logLines().isEmpty());
    }

    void printsTheListAsATable()
    {
        for (int i = 1; i <= 11; ++i)
            f->add({{"RCaption", QStringLiteral("תזכורת מספר %1 ארוכה").arg(i)},
                    {"RDetail", i == 2 ? QStringLiteral("שורה\r\nשנייה")
                                       : QStringLiteral("פרטים ארוכים מאוד של התזכורת הזאת")},
                    {"RAuthor", "dana"},
                    {"RDate", dated(2026, 4, i, 9, 30)},
                    {"RDate0", dated(2026, 3, 15)},
                    {"RActive", i != 3}});
        f->open();

        // With the author column the details are cut to 19, else to 29.
        const QString row = "%1" + S + "%2/04/2026 09:30 " + S + "15/03/2026" + S + "%3" + S +
                            "רגילה   " + S + "חד-פעמי " + "%4" + S + "%5";
        for (bool withAuthor : {true, false}) {
            LANOptReceive = withAuthor;
            trigger("mnu_PrintList");
            QStringList printed = cups.takePrintedLines();
            QVERIFY(!printed.isEmpty());
            QCOMPARE(printed.takeFirst(), QStringLiteral("    תזכורון ולטרום - הדפסת רשימה"));
            QString header;
            for (const auto& [heading, width] :
                 QList<std::pair<QString, int>>{{"מס'", 4},
                                                {"תאריך היעד", 18},
                                                {"ת. רישום", 11},
                                                {"הכותרת", 17},
                                                {"חשיבות", 9},
                                                {"סוג מופע", 9},
                                                {withAuthor ? "מחבר" : "", withAuthor ? 10 : 0},
                                                {"פרטים", withAuthor ? 20 : 30},
                                                {"פעיל", 4}})
                header += heading.leftJustified(width);
            QCOMPARE(printed.takeFirst(), header);
            QCOMPARE(header.size(), 102);
            QStringList expected;
            for (int i = 1; i <= 11; ++i) {
                const QString caption =
                    QStringLiteral("תזכורת מספר %1 ארוכה").arg(i).left(16).leftJustified(16);
                const QString author = withAuthor ? S + QStringLiteral("dana     ") : QString();
                const QString active = i == 3 ? QStringLiteral("לא") : QStringLiteral("כן");
                QString line =
                    row.arg(i, 3, 10, QChar('0')).arg(i, 2, 10, QChar('0')).arg(caption, author);
                if (i == 2) // a line break within the printed start breaks the line
                    expected << line.arg("שורה")
                             << QStringLiteral("שנייה").leftJustified(withAuthor ? 13 : 23) + S +
                                    active;
                else
                    expected << line.arg(QStringLiteral("פרטים ארוכים מאוד של התזכורת הזאת")
                                             .left(withAuthor ? 19 : 29)) +
                                    S + active;
            }
            QCOMPARE(expected[0].size(), 100);
            QCOMPARE(joined(printed), joined(expected));
        }
    }

    void anEmptyListPrintsNothing()
    {
        f->open();
        trigger("mnu_PrintList");
        QVERIFY(cups.takePrintedLines(5000).isEmpty());
        QVERIFY(f->logLines().isEmpty());
    }
};

QTEST_MAIN(PrintTest)
#include "tst_manager_print.moc"
