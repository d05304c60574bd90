// The manager window's list side on a real database file.
#include "ManagerFixture.h"

#include "LanSettings.h"
#include "ManagerState.h"

#include <QAction>
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>

namespace {

const QString kSep(QChar(0x05C3));

QColor textColour(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class RMainListTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

private slots:
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    void listLinesAreLaidOutExactly()
    {
        f->add({{"RCaption", "12345\t7890\r\nABCDEFGHIJ"},
                {"RDate", dated(2026, 4, 1, 9, 5)},
                {"RDate0", dated(2026, 2, 3, 8, 0)},
                {"RImportance", 2},
                {"REventType", 10},
                {"RAuthor", "someone"},
                {"RDetail", "a\tb\r\nsecond line"}});
        f->add({{"RCaption", "abc"},
                {"RDate", dated(2026, 4, 2, 18, 30)},
                {"RDate0", dated(2026, 2, 4)},
                {"RActive", false},
                {"RAuthor", QVariant()},
                {"RDetail", QVariant()}});
        f->open();
        // The pickers read left to right inside the right-to-left window.
        QCOMPARE(f->find<QDateEdit>("CDate1")->text(), QStringLiteral("01/04/2026"));
        QCOMPARE(f->find<QTimeEdit>("CDate2")->text(), QStringLiteral("09:05"));
        const QString pad16 = QString(13, ' '), blanks9 = QString(9, ' ');
        QStringList expected = {QStringLiteral("01/04/2026 09:05 ") + kSep + "03/02/2026" + kSep +
                                    "12345 7890 ABCDE" + kSep + "גבוהה   " + kSep + "שבועי   " +
                                    kSep + "someone  " + kSep + "a b" + QString(16, ' ') + kSep +
                                    "כן",
                                QStringLiteral("02/04/2026 18:30 ") + kSep + "04/02/2026" + kSep +
                                    "abc" + pad16 + kSep + "רגילה   " + kSep + "חד-פעמי " + kSep +
                                    blanks9 + kSep + QString(19, ' ') + kSep + "לא"};
        QCOMPARE(f->listLines(), expected);

        // Without receiving the author column goes and the details take its place
        // (the exact lines are the printed list's, which shares the line builder).
        LANOptReceive = false;
        QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_F5);
        QVERIFY(f->listLines()[0].endsWith(kSep + "a b" + QString(26, ' ') + kSep + "כן"));
        QVERIFY(f->find<QLabel>("ListLabel_7")->isHidden());
    }

    // Each header sits over its column in the list's pixels, measured from
    // the row the list really draws, with and without the author column.
    void headersStayAboveTheirColumns()
    {
        f->add({});
        f->open();
        auto* list = f->find<QListView>("List1");
        for (bool receive : {true, false}) {
            LANOptReceive = receive;
            QTest::keyClick(list, Qt::Key_F5);
            const qreal cw = QFontMetricsF(list->font()).horizontalAdvance(QString(96, '0')) / 96;
            const QRect row = list->visualRect(list->model()->index(0, 0));
            QCOMPARE(row.right() + 1,
                     list->viewport()->width()); // right to left: rows hug the right edge
            // Header index, first character, width: right to left.
            QList<std::tuple<int, int, int>> columns = {
                {1, 0, 17}, {6, 18, 10}, {0, 29, 16}, {2, 46, 8}, {3, 55, 8}};
            if (receive)
                columns << std::tuple{7, 64, 9} << std::tuple{4, 74, 19} << std::tuple{5, 94, 2};
            else
                columns << std::tuple{4, 64, 29} << std::tuple{5, 94, 2};
            qreal previousLeft = 1e9;
            for (const auto& [header, start, width] : columns) {
                QLabel* label = f->find<QLabel>(QStringLiteral("ListLabel_%1").arg(header));
                QVERIFY(label->isVisible());
                const QRect r(
                    list->viewport()->mapFrom(f->window(), label->mapTo(f->window(), QPoint(0, 0))),
                    label->size());
                // The column's text is within the header's extent, counted from the row's right
                // edge.
                const qreal textRight = row.right() + 1 - start * cw;
                const qreal textLeft = textRight - width * cw;
                QVERIFY2(r.left() <= textLeft + 1 && r.right() + 1 >= textRight - cw,
                         qPrintable(label->text()));
                QVERIFY2(r.right() + 1 <= previousLeft + 1,
                         qPrintable(label->text())); // no overlap
                previousLeft = r.left();
            }
        }
    }

    void headersSortAscendingThenDescendingWithTiesById()
    {
        auto add = [this](const char* caption, int due, int registered, int importance, int type,
                          const char* author, const QVariant& detail, bool active) {
            return f->add({{"RCaption", caption},
                           {"RDate", dated(2026, 4, due, 9)},
                           {"RDate0", dated(2026, 4, registered)},
                           {"RImportance", importance},
                           {"REventType", type},
                           {"RAuthor", author},
                           {"RDetail", detail},
                           {"RActive", active}});
        };
        const qint32 a = add("delta", 3, 30, 1, 5, "bob", "x", true);
        const qint32 b = add("alpha", 1, 10, 2, 0, "carl", QVariant(), false);
        const qint32 c = add("charlie", 3, 10, 1, 10, "bob", "a", true);
        const qint32 d = add("bravo", 2, 20, 0, 5, "abe", "m", false);
        f->open();
        QCOMPARE(f->listIds(), (QList<qint32>{b, d, a, c})); // by RDate at opening

        // Header, ascending order, descending order: a text, a date, a number,
        // nulls, and ties kept in RMain_Id order.
        const QList<std::tuple<int, QList<qint32>, QList<qint32>>> cases = {
            {0, {b, d, c, a}, {a, c, d, b}},
            {6, {b, c, d, a}, {a, d, b, c}},
            {2, {d, a, c, b}, {b, a, c, d}},
            {4, {b, c, d, a}, {a, d, c, b}},
            {7, {d, a, c, b}, {b, a, c, d}}};
        for (const auto& [header, ascending, descending] : cases) {
            QLabel* label = f->find<QLabel>(QStringLiteral("ListLabel_%1").arg(header));
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(f->listIds(), ascending);
            QCOMPARE(textColour(label), QColor(Qt::blue));
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(f->listIds(), descending);
            QCOMPARE(textColour(label), QColor(Qt::darkRed));
            for (int other = 0; other < 8; ++other)
                if (other != header)
                    QCOMPARE(textColour(f->find<QLabel>(QStringLiteral("ListLabel_%1").arg(other))),
                             QColor(Qt::black));
        }
    }

    void filterMoveButtonsAndCounter()
    {
        const qint32 a1 = f->add({{"RCaption", "a1"}, {"RDate", dated(2026, 4, 1)}});
        const qint32 i1 =
            f->add({{"RCaption", "i1"}, {"RDate", dated(2026, 4, 2)}, {"RActive", false}});
        const qint32 a2 = f->add({{"RCaption", "a2"}, {"RDate", dated(2026, 4, 3)}});
        const qint32 a3 = f->add({{"RCaption", "a3"}, {"RDate", dated(2026, 4, 4)}});
        f->open();
        QCOMPARE(f->counter(), QStringLiteral(" שורה 1 מתוך 4"));

        f->click("OptShow_0");
        QCOMPARE(f->listIds(), (QList<qint32>{a1, a2, a3}));
        auto caption = f->find<QLineEdit>("CCaption");
        // Index, expected row afterwards (1-based): last, next past the end, previous, first,
        // previous at the start.
        const QList<std::pair<int, int>> moves = {{1, 2}, {0, 3}, {1, 3}, {2, 2}, {3, 1}, {2, 1}};
        for (const auto& [button, row] : moves) {
            f->click(QStringLiteral("cmdMoveRS_%1").arg(button));
            QCOMPARE(f->counter(), QStringLiteral(" שורה %1 מתוך 3").arg(row));
            QCOMPARE(f->selectedRow(), row - 1);
            QCOMPARE(CurrentReminderId, f->listIds().at(row - 1));
            QCOMPARE(caption->text(), QStringLiteral("a%1").arg(row));
        }

        auto* list = f->find<QListView>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(2, 0)).center());
        QCOMPARE(CurrentReminderId, a3);
        QCOMPARE(f->counter(), QStringLiteral(" שורה 3 מתוך 3"));

        f->click("OptShow_1");
        QCOMPARE(f->listIds(), QList<qint32>{i1});
        QVERIFY(f->find<QRadioButton>("OptActive_1")->isChecked());

        // A filter that matches nothing: counter at zero, the editor keeps what it held.
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RActive = 0"));
        f->click("OptShow_1");
        QVERIFY(f->listIds().isEmpty());
        QCOMPARE(f->counter(), QStringLiteral(" שורה 0 מתוך 0"));
        QCOMPARE(caption->text(), QStringLiteral("i1"));
        f->click("cmdMoveRS_1");
        QCOMPARE(f->counter(), QStringLiteral(" שורה 0 מתוך 0"));
    }

    void refreshKeepsTheCurrentReminderWhenItsRowMoves()
    {
        const qint32 a = f->add({{"RCaption", "a"}, {"RDate", dated(2026, 4, 5)}});
        const qint32 b = f->add({{"RCaption", "b"}, {"RDate", dated(2026, 4, 6)}});
        f->open();
        f->click("cmdMoveRS_0");
        QCOMPARE(CurrentReminderId, b);

        // Another process adds two earlier reminders and removes one.
        const qint32 c = f->add({{"RCaption", "c"}, {"RDate", dated(2026, 4, 1)}});
        const qint32 d = f->add({{"RCaption", "d"}, {"RDate", dated(2026, 4, 2)}});
        const qint32 e = f->add({{"RCaption", "e"}, {"RDate", dated(2026, 4, 3)}});
        f->sql(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(a));
        QCOMPARE(f->listIds(), (QList<qint32>{a, b})); // the list is a snapshot until re-read

        QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_F5);
        QCOMPARE(f->listIds(), (QList<qint32>{c, d, e, b}));
        QCOMPARE(CurrentReminderId, b);
        QCOMPARE(f->selectedRow(), 3);
        QCOMPARE(f->counter(), QStringLiteral(" שורה 4 מתוך 4"));
    }

    void showIndexSwitchesTheFilterToAllWhenNeeded()
    {
        f->add({{"RCaption", "active"}});
        const qint32 inactive = f->add({{"RCaption", "asleep"}, {"RActive", false}});
        RMain* w = f->open();
        f->click("OptShow_0");
        QCOMPARE(f->listIds().size(), 1);

        w->ShowIndex(inactive);
        QVERIFY(f->find<QRadioButton>("OptShow_2")->isChecked());
        QCOMPARE(w->showFilter(), short(2));
        QCOMPARE(f->listIds().size(), 2);
        QCOMPARE(CurrentReminderId, inactive);
        QCOMPARE(f->listIds().at(f->selectedRow()), inactive);
        QCOMPARE(f->find<QLineEdit>("CCaption")->text(), QStringLiteral("asleep"));

        w->ShowIndex(9999);
        QVERIFY(f->logLines().last().endsWith(QStringLiteral("ShowIndex: No current record.")));
    }

    // ShowList and the alert's "פתח ברשימה" come here: the alert may just
    // have moved the reminder on, and the user may be in the middle of an edit.
    void showIndexShowsTheStoredRowAndKeepsAnEdit()
    {
        const qint32 a = f->add({{"RCaption", "a"}, {"RDate", dated(2026, 4, 1, 9)}});
        const qint32 b = f->add({{"RCaption", "b"}, {"RDate", dated(2026, 4, 3, 9)}});
        RMain* w = f->open();
        f->sql(QStringLiteral("UPDATE Main_tbl SET RDate = RDate + 1, RNext = RDate + 1 "
                              "WHERE RMain_Id = %1")
                   .arg(a));
        w->ShowIndex(a);
        QVERIFY(f->listLines().first().startsWith(QStringLiteral("02/04/2026 09:00")));
        QCOMPARE(f->find<QDateEdit>("CDate1")->date(), QDate(2026, 4, 2));

        auto* caption = f->find<QLineEdit>("CCaption");
        caption->setText(QStringLiteral("a edited"));
        w->ShowIndex(b);
        QVERIFY(w->inEdit());
        QCOMPARE(caption->text(), QStringLiteral("a edited"));
        QCOMPARE(f->listIds().at(f->selectedRow()), a);
    }

    void schemaCheckRunsOncePerWindowLoad()
    {
        f->add({});
        f->add({});
        f->open();
        // A newer program marks the database while the window is open.
        f->sql(QStringLiteral("PRAGMA user_version = 210"));
        f->click("ListLabel_0");
        QTest::keyClick(f->find<QWidget>("List1"), Qt::Key_F5);
        QCOMPARE(f->listIds().size(), 2);
        QVERIFY(f->logLines().isEmpty());

        f->close();
        f->open();
        QCOMPARE(f->logLines().size(), 1);
        QVERIFY(f->logLines().first().endsWith(
            QStringLiteral("LoadData: גרסת היישום לא מתאימה לבסיס הנתונים")));
        QVERIFY(f->listIds().isEmpty());
        QCOMPARE(f->counter(), QStringLiteral(" שורה 0 מתוך 0"));
        QCOMPARE(f->window()->sortField(), QStringLiteral("RDate")); // the state starts afresh

        // Nor is a reminder saved into it, however often it is tried.
        f->click("cmdNew");
        for (int attempt = 0; attempt < 2; ++attempt)
            f->click("cmdNew");
        QCOMPARE(f->rowCount(), 2);
        QCOMPARE(f->logLines().size(), 3);
        QVERIFY(f->logLines().last().endsWith(
            QStringLiteral("Save: גרסת היישום לא מתאימה לבסיס הנתונים")));
    }
    // The desktop's clipboard without the author column is shown end to end.
    void copyListPutsTheListedRowsOnTheClipboard()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        f->add({{"RCaption", "a long caption of more than sixteen"},
                {"RDetail", "א\r\nב\r\n"},
                {"RAuthor", "dana"},
                {"RDate", dated(2026, 4, 1, 9, 30)},
                {"RDate0", dated(2026, 3, 15)}});
        f->open();
        f->find<QAction>("mnu_CopyList")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral(
                     "תאריך יעד\tתאריך רישום\tהכותרת\tחשיבות\tסוג מופע\tמחבר\tפעיל\tפרטים"
                     "\r\n01/04/2026 09:30\t15/03/2026\ta long caption of more than "
                     "sixteen\tרגילה\tחד-פעמי\tdana\tכן\tא\r\n\t\t\t\t\t\t\tב\r\n\t\t\t\t\t\t\t"));

        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        f->click("OptShow_1"); // nothing inactive: the clipboard stays as it was
        f->find<QAction>("mnu_CopyList")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(f->logLines().isEmpty());
    }
};

QTEST_MAIN(RMainListTest)
#include "tst_manager_list.moc"
