// Copying the list with the author column, and an empty list, on this
// process's clipboard (the copy on the desktop's clipboard is shown end to
// end with the real Kalvex).
#include "ManagerFixture.h"

#include "LanSettings.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QRadioButton>
#include <QTest>

class CopyListTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<ManagerFixture>();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void cleanup() { f.reset(); }

    void anEmptyListLeavesTheClipboardAsItWas()
    {
        f->add({{"RActive", false}});
        f->open();
        f->find<QRadioButton>(QStringLiteral("OptShow_0"))->click(); // nothing active
        f->find<QAction>(QStringLiteral("mnu_CopyList"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(f->logLines().isEmpty());
    }

    void theAuthorColumnComesBeforeActiveAndTheDetailsFollowItsTabs()
    {
        LANOptReceive = true;
        f->add({{"RCaption", "a long caption of more than sixteen"},
                {"RDetail", "א\r\nב\r\n"},
                {"RAuthor", "dana"},
                {"RDate", dated(2026, 4, 1, 9, 30)},
                {"RDate0", dated(2026, 3, 15)}});
        f->open();
        f->find<QAction>(QStringLiteral("mnu_CopyList"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral(
                     "תאריך יעד\tתאריך רישום\tהכותרת\tחשיבות\tסוג מופע\tמחבר\tפעיל\tפרטים"
                     "\r\n01/04/2026 09:30\t15/03/2026\ta long caption of more than "
                     "sixteen\tרגילה\tחד-פעמי\tdana\tכן\tא\r\n\t\t\t\t\t\t\tב\r\n\t\t\t\t\t\t\t"));
    }
};

QTEST_MAIN(CopyListTest)
#include "tst_manager_copy.moc"
