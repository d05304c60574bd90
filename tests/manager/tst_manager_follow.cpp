// The open list follows reminders stored elsewhere (a script, the LAN), not while it is busy.
#include "common/Ini.h"
#include "scheduling/ReminderWrites.h"
#include "store/Reminder.h"
#include "tests/manager/ManagerFixture.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

class ManagerFollowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManagerFixture> f;

    // Stores a reminder as a script does; its id.
    static qint32 storeElsewhere(const char* caption, int day)
    {
        ReminderRecord r;
        r.RCaption = QString::fromUtf8(caption);
        r.RDate = at(2026, 3, day, 9, 0);
        r.RActive = true;
        return SaveReminder(r, 0);
    }
    // The turn of the event loop that follows a change has passed: its publication is out.
    static bool turnAfterTheChange(int day)
    {
        return QTest::qWaitFor([day] {
            return ReadIni("Reminder", "NextDate", "") == formatNextDate(at(2026, 3, day, 9, 0));
        });
    }

private slots:
    void init() { f = std::make_unique<ManagerFixture>(); }
    void cleanup() { f.reset(); }

    // Read again in place: a new one listed in its order, the current one kept.
    void theListShowsWhatIsStoredElsewhere()
    {
        const qint32 current = f->add({{"RDate", dated(2026, 4, 1, 9)}});
        f->open();
        const int refreshes = RMain::listRefreshes();
        const qint32 added = storeElsewhere("מסקריפט", 20);
        QTRY_COMPARE(f->listIds(), (QList<qint32>{added, current}));
        QCOMPARE(f->listIds().value(f->selectedRow()), current);
        QCOMPARE(RMain::listRefreshes(), refreshes + 1);
    }

    // An open edit, or a question open on the window, holds the list until it ends.
    void anEditOrAQuestionHoldsTheList()
    {
        const qint32 current = f->add({{"RDate", dated(2026, 4, 1, 9)}});
        f->open();
        f->find<QLineEdit>("CCaption")->setText(QStringLiteral("בעריכה"));
        const qint32 first = storeElsewhere("ראשונה", 21);
        QVERIFY(turnAfterTheChange(21));
        QCOMPARE(f->listIds(), QList<qint32>{current});
        QTest::keyClick(f->window(), Qt::Key_F12);
        QTRY_COMPARE(f->listIds(), (QList<qint32>{first, current}));

        QDialog question(f->window());
        question.setWindowModality(Qt::WindowModal);
        question.open();
        const qint32 second = storeElsewhere("שנייה", 20);
        QVERIFY(turnAfterTheChange(20));
        QCOMPARE(f->listIds(), (QList<qint32>{first, current}));
        question.close();
        QTRY_COMPARE(f->listIds(), (QList<qint32>{second, first, current}));
    }
};

QTEST_MAIN(ManagerFollowTest)
#include "tst_manager_follow.moc"
