// The find dialog over the manager window's list, on a real database file.
#include "ManagerFixture.h"

#include "RFind.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// One press of "חפש את הראשון" (first) or "חפש את הבא": what is typed and
// chosen, the status shown and the title of the current reminder after it.
struct Search
{
    bool first;
    QString text;
    int in; // 0 title, 1 details
    int by; // 0 begins, 1 contains, 2 whole field
    QString status;
    QString current;
};

const QString OK = QStringLiteral("OK");
const QString kNone = QStringLiteral("לא נמצאה התאמה");
const QString kError = QStringLiteral("שגיאה");

} // namespace

class RFindTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    // Opens the dialog with the manager window's button, runs body inside its
    // modal loop and closes it with "ביטול".
    void withDialog(const std::function<void(RFind&)>& body)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<RFind*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ran = true;
            body(*dialog);
            dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        f->find<QToolButton>(QStringLiteral("cmdFind"))->click();
        QVERIFY(ran);
        QVERIFY(!QApplication::activeModalWidget());
    }

    static void search(RFind& dialog, const Search& s)
    {
        dialog.findChild<QLineEdit*>(QStringLiteral("SearchText"))->setText(s.text);
        dialog.findChild<QComboBox*>(QStringLiteral("SearchIn"))->setCurrentIndex(s.in);
        dialog.findChild<QComboBox*>(QStringLiteral("SearchBy"))->setCurrentIndex(s.by);
        dialog.findChild<QPushButton*>(QString::fromLatin1(s.first ? "cmdFind_0" : "cmdFind_1"))
            ->click();
    }

    QString current() const { return f->find<QLineEdit>(QStringLiteral("CCaption"))->text(); }

    void run(RFind& dialog, const QList<Search>& searches)
    {
        for (const Search& s : searches) {
            search(dialog, s);
            const QString context = QStringLiteral("%1 \"%2\" in %3 by %4")
                                        .arg(s.first ? "first" : "next", s.text)
                                        .arg(s.in)
                                        .arg(s.by);
            QVERIFY2(dialog.findChild<QLabel*>(QStringLiteral("LStatus"))->text() == s.status,
                     qPrintable(context));
            QVERIFY2(current() == s.current,
                     qPrintable(context + QStringLiteral(": ") + current()));
        }
    }

private slots:
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    void findsInTheListsOrderWithTheEnginesPatterns()
    {
        f->open();
        withDialog([&](RFind& dialog) {
            run(dialog, {{true, "", 0, 0, "יש להגדיר מחרוזת לחיפוש", "תזכורת חדשה"},
                         {true, "x", 0, 0, "הרשימה ריקה", "תזכורת חדשה"}});
        });

        const auto add = [&](const char* caption, const QVariant& detail, int day, bool active) {
            f->add({{"RCaption", QString::fromUtf8(caption)},
                    {"RDetail", detail},
                    {"RDate", dated(2026, 4, day, 9, 0)},
                    {"RActive", active}});
        };
        add("Alpha meeting", "line one\r\nSecond Line", 1, true);
        add("alpha 2", "x", 2, false);
        add("פגישה עם דנה", "דנה", 3, true);
        add("Report 100%", "Alpha", 4, true);
        add("[draft] plan", QVariant(), 5, true);
        add("say \"hi\"", "hi", 6, true);
        f->click(QStringLiteral("cmdRefresh"));

        withDialog([&](RFind& dialog) {
            // clang-format off
            run(dialog, {
                {true, "ALPHA", 0, 0, OK, "Alpha meeting"},          // letters match in any case
                {true, "alpha", 0, 0, OK, "Alpha meeting"},          // first again: the same one
                {false, "alpha", 0, 0, OK, "alpha 2"},               // next, in list order
                {false, "alpha", 0, 0, kNone, "alpha 2"},            // no wrap; the last match stays
                {true, "*meet", 0, 0, OK, "Alpha meeting"},          // the engine's pattern characters
                {true, "a?pha 2", 0, 0, OK, "alpha 2"},
                {true, "report ###", 0, 0, OK, "Report 100%"},
                {true, "[[]draft]", 0, 0, OK, "[draft] plan"},
                {true, "[!a-r]", 0, 0, OK, "פגישה עם דנה"},
                {true, "100%", 0, 1, OK, "Report 100%"},             // % is a plain character
                {true, "[draft", 0, 0, kError, "Report 100%"},       // a malformed pattern
                {true, "say \"", 0, 0, kError, "Report 100%"},       // a double quote
                {true, "עם", 0, 0, kNone, "Report 100%"},            // begins with
                {true, "עם", 0, 1, OK, "פגישה עם דנה"},              // contains
                {true, "second line", 1, 1, OK, "Alpha meeting"},     // in a further line of the details
                {true, "ALPHA", 1, 2, OK, "Report 100%"},            // the whole field
                {false, "*", 1, 1, OK, "say \"hi\""},              // null details match nothing
            });
            // clang-format on
        });

        // Only what the list shows, in its order: active ones, latest first.
        f->click(QStringLiteral("OptShow_0"));
        f->click(QStringLiteral("ListLabel_1"));
        withDialog([&](RFind& dialog) {
            run(dialog, {{true, "*a", 0, 1, OK, "say \"hi\""},
                         {false, "alpha", 0, 0, OK, "Alpha meeting"},
                         {false, "alpha", 0, 0, kNone, "Alpha meeting"}});
        });
    }
};

QTEST_MAIN(RFindTest)
#include "tst_manager_find.moc"
