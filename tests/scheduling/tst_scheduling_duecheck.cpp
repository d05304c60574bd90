#include "common/Ini.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "scheduling/CheckRemind.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/ShownAlerts.h"
#include "tests/support/ReminderRows.h"

#include <QFile>
#include <QTest>

namespace {

qint32 dueAt(const Date& next, bool active = true)
{
    return insertReminder(
        reminderFields(0, next, next, {{QStringLiteral("RActive"), active ? 1 : 0}}));
}

} // namespace

class DueCheckTest : public QObject
{
    Q_OBJECT

private slots:
    // Due strictly before now, once per window; an unreadable file changes nothing.
    void opensDueAlertsOnceAndPublishesTheNext()
    {
        SchedulingDir dir(at(2026, 12, 5, 14, 30, 15));
        QList<qint32> opened;
        qint32 failingId = 0;
        setAlertOpener([&](qint32 id) {
            QVERIFY(IsShown(id));
            opened << id;
            if (id == failingId)
                throw Failure(QStringLiteral("window refused"));
        });
        PublishNextDate();
        QCOMPARE(publishedNextDate(), QStringLiteral("NULL"));
        const qint32 due = dueAt(at(2026, 12, 5, 14, 0));
        const qint32 atNow = dueAt(Clock::now());
        const qint32 later = dueAt(at(2027, 1, 2, 3, 4));
        dueAt(at(2026, 11, 1), false);
        insertReminder({{QStringLiteral("RActive"), 1}}); // no due time: never falls due
        CheckRemind();
        CheckRemind();
        QCOMPARE(opened, QList<qint32>{due});
        PublishNextDate();
        QCOMPARE(publishedNextDate(), QStringLiteral("051220261430"));
        MarkShown(atNow);
        MarkShown(later);
        PublishNextDate();
        QCOMPARE(publishedNextDate(), QStringLiteral("NULL"));
        {
            const HeldPublication closingEveryAlert;
            UnmarkShown(later);
            PublishNextDate();
            QCOMPARE(publishedNextDate(), QStringLiteral("NULL")); // once, when the work ends
        }
        QCOMPARE(publishedNextDate(), QStringLiteral("020120270304"));

        UnmarkShown(due);
        failingId = due;
        CheckRemind();
        QCOMPARE(opened, (QList<qint32>{due, due}));
        QVERIFY(!IsShown(due)); // a failed window leaves it unmarked
        QCOMPARE(logLines(), QStringList());

        WriteIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"),
                 QStringLiteral("010120270000"));
        QFile db(ProgramDir::file(QStringLiteral("KV_Data.mdb")));
        QVERIFY(db.open(QIODevice::WriteOnly));
        db.write(QByteArray(4096, 'x'));
        db.close();
        CheckRemind();
        PublishNextDate();
        QCOMPARE(publishedNextDate(), QStringLiteral("010120270000"));
        QCOMPARE(logLines().size(), 2);
        QVERIFY2(logLines().first().contains(" -> CheckRemind: "), qPrintable(logLines().first()));
    }

    // On the real clock a reminder due at a whole second is due a millisecond later, not
    // at the next second.
    void dueFromTheMomentOnToTheMillisecond()
    {
        const SchedulingDir dir{Date()};
        Clock::useSystemClock();
        QList<qint32> opened;
        setAlertOpener([&](qint32 id) { opened << id; });
        const auto msIntoTheSecond = [] {
            return (Clock::preciseSerial() - Clock::now().serial()) * 86400000.0;
        };
        QTRY_VERIFY(msIntoTheSecond() >= 1 && msIntoTheSecond() < 500);
        const qint32 due = dueAt(Clock::now());
        CheckRemind();
        QCOMPARE(opened, QList<qint32>{due});
    }
};

QTEST_GUILESS_MAIN(DueCheckTest)
#include "tst_scheduling_duecheck.moc"
