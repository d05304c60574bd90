// Printing on a PDF printer of the test's own CUPS scheduler, read back from the PDF.

#include "platform/ui/Prompt.h"
#include "store/LanSettings.h"
#include "tests/support/ManagerFixture.h"
#include "tests/support/PrivateCups.h"

#include <QtTest>
#include <QtWidgets>

#include <unistd.h>

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
                QSKIP(qPrintable("cannot run a CUPS scheduler without root: " + why));
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
        QCOMPARE(logLines().size(), 2);
        QVERIFY(logLines()[0].contains(" -> PrintCurrent: "));
        QVERIFY(logLines()[1].contains(" -> PrintList: "));
        QCOMPARE(Prompt::history().size(), 2);
        QCOMPARE(cups.takePrintedLines(0), QStringList());

        QString why;
        QVERIFY2(cups.addDefaultPdfPrinter(&why), qPrintable(why));
    }

    // The card, with and without the author (shown only while receiving), a line break in the
    // details kept.
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
            QCOMPARE(cups.takePrintedLines(), expected);
        }
        QVERIFY(logLines().isEmpty());
    }

    // Exactly as printed: details cut to 19 (29 without the author column), a line break in
    // them breaks the line; an empty list prints nothing.
    void printsTheListAsATable()
    {
        for (const char* detail : {"פרטים ארוכים מאוד של התזכורת הזאת", "שורה\r\nשנייה"})
            f->add({{"RCaption", "תזכורת ארוכה מאוד מאוד"},
                    {"RDetail", QString::fromUtf8(detail)},
                    {"RAuthor", "dana"},
                    {"RDate", dated(2026, 4, 1, 9, 30)},
                    {"RDate0", dated(2026, 3, 15)}});
        f->open();
        f->click("OptShow_1");
        trigger("mnu_PrintList");
        QVERIFY(cups.takePrintedLines(5000).isEmpty());

        f->click("OptShow_2");
        const QString S(QChar(0x05C3)); // the separator before each column of a printed row
        for (bool withAuthor : {true, false}) {
            LANOptReceive = withAuthor;
            trigger("mnu_PrintList");
            const int details = withAuthor ? 20 : 30;
            const QString row = "%1" + S + "01/04/2026 09:30 " + S + "15/03/2026" + S +
                                "תזכורת ארוכה מאו" + S + "רגילה   " + S + "חד-פעמי " +
                                (withAuthor ? S + "dana     " : QString()) + S + "%2";
            const QString header =
                withAuthor ? "מס' תאריך היעד        ת. רישום   הכותרת           חשיבות   סוג מופע "
                             "מחבר      פרטים               פעיל"
                           : "מס' תאריך היעד        ת. רישום   הכותרת           חשיבות   סוג מופע "
                             "פרטים                         פעיל";
            QCOMPARE(cups.takePrintedLines(),
                     QStringList({"    תזכורון ולטרום - הדפסת רשימה", header,
                                  row.arg("001", QStringLiteral("פרטים ארוכים מאוד של התזכורת הזאת")
                                                     .left(details - 1)) +
                                      S + "כן",
                                  row.arg("002", "שורה"),
                                  QString("שנייה").leftJustified(details - 7) + S + "כן"}));
        }
    }
};

QTEST_MAIN(PrintTest)
#include "tst_manager_print.moc"
