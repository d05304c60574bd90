// Printing on a PDF printer of the test's own CUPS scheduler, read back from the PDF.
#include "ManagerFixture.h"

#include "PrivateCups.h"
#include "Prompt.h"

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
        QVERIFY(logLines().size() == 2 && logLines()[0].contains(" -> PrintCurrent: ") &&
                logLines()[1].contains(" -> PrintList: "));
        QVERIFY(Prompt::history().size() == 2 && cups.takePrintedLines(0).isEmpty());

        QString why;
        QVERIFY2(cups.addDefaultPdfPrinter(&why), qPrintable(why));
    }

    // Exactly as printed: details cut to 19, a line break in them breaks the line; an empty
    // list prints nothing.
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
        trigger("mnu_PrintList");
        const QString S(QChar(0x05C3)); // the separator before each column of a printed row
        const QString row = "%1" + S + "01/04/2026 09:30 " + S + "15/03/2026" + S +
                            "תזכורת ארוכה מאו" + S + "רגילה   " + S + "חד-פעמי " + S + "dana     " +
                            S + "%2";
        const QList<std::pair<QString, int>> columns = {
            {"מס'", 4},      {"תאריך היעד", 18}, {"ת. רישום", 11}, {"הכותרת", 17}, {"חשיבות", 9},
            {"סוג מופע", 9}, {"מחבר", 10},       {"פרטים", 20},    {"פעיל", 4}};
        QString header;
        for (const auto& [heading, width] : columns)
            header += heading.leftJustified(width);
        QCOMPARE(cups.takePrintedLines(),
                 QStringList(
                     {"    תזכורון ולטרום - הדפסת רשימה", header,
                      row.arg("001", QStringLiteral("פרטים ארוכים מאוד של התזכורת הזאת").left(19)) +
                          S + "כן",
                      row.arg("002", "שורה"), QString("שנייה").leftJustified(13) + S + "כן"}));
    }
};

QTEST_MAIN(PrintTest)
#include "tst_manager_print.moc"
