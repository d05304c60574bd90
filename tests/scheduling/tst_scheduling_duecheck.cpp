#include "Clock.h"
#include "DueCheck.h"
#include "Failure.h"
#include "Ini.h"
#include "ProgramDir.h"
#include "ReminderRows.h"

#include <QFile>
#include <QTest>

#include <memory>

namespace {

qint32 dueAt(const Date& next, bool active = true)
{
    return insertReminder(
        reminderFields(0, next, next, {{QStringLiteral("RActive"), active ? 1 : 0}}));
}

QString nextDate()
{
    return ReadIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"), QString());
}

} // namespace

class DueCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(at(2026, 12, 5, 14, 30, 15));
        m_opened.clear();
        m_failingId = 0;
        // Stands in for the alert window, whose load relies on being marked already.
        setAlertOpener([this](qint32 id) {
            QVERIFY(IsShown(id));
            m_opened << id;
            if (id == m_failingId)
                throw Failure(QStringLiteral("window refused"));
        });
    }
    void cleanup()
    {
        for (qint32 id = 1; id <= 20; ++id)
            UnmarkShown(id);
        m_dir.reset();
    }

    // One alert per due reminder, once, is shown end to end; here the edge
    // at now and what happens when a window closes or fails to open.
    void checkRemindOpensAnAlertAgainOnlyOnceItsWindowHasGone()
    {
        const qint32 due = dueAt(Clock::now().addSeconds(-1));
        dueAt(Clock::now()); // equal to now: not due yet
        CheckRemind();
        CheckRemind();
        QCOMPARE(m_opened, QList<qint32>{due});

        UnmarkShown(due);
        m_failingId = due;
        CheckRemind();
        QCOMPARE(m_opened, (QList<qint32>{due, due}));
        QVERIFY(!IsShown(due)); // a window that fails to open leaves it unmarked
        QVERIFY(logLines().isEmpty());
    }

    void publishesTheEarliestWithoutAnOpenAlert()
    {
        PublishNextDate();
        QCOMPARE(nextDate(), QStringLiteral("NULL"));

        dueAt(at(2026, 11, 1), false);
        const qint32 first = dueAt(at(2026, 12, 5, 14, 30, 59));
        const qint32 second = dueAt(at(2027, 1, 2, 3, 4));
        insertReminder({{QStringLiteral("RActive"), 1}}); // no due time: never falls due
        PublishNextDate();
        QCOMPARE(nextDate(), QStringLiteral("051220261430"));
        MarkShown(first); // open alerts are left out
        MarkShown(second);
        PublishNextDate();
        QCOMPARE(nextDate(), QStringLiteral("NULL"));
    }

    void failuresAreLoggedAndKeepThePublishedTime()
    {
        WriteIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"),
                 QStringLiteral("010120270000"));
        QFile db(ProgramDir::file(QStringLiteral("KV_Data.mdb")));
        QVERIFY(db.open(QIODevice::WriteOnly));
        db.write(QByteArray(4096, 'x'));
        db.close();

        CheckRemind();
        PublishNextDate();
        QCOMPARE(nextDate(), QStringLiteral("010120270000"));
        const QStringList log = logLines();
        QCOMPARE(log.size(), 2);
        const QString description = log[0].section(QStringLiteral(" -> CheckRemind: "), 1);
        QVERIFY2(!description.isEmpty(), qPrintable(log[0]));
        QVERIFY2(log[1].endsWith(QStringLiteral(" -> ") + description),
                 qPrintable(log[1])); // no prefix
    }

private:
    std::unique_ptr<SchedulingDir> m_dir;
    QList<qint32> m_opened;
    qint32 m_failingId = 0;
};

QTEST_GUILESS_MAIN(DueCheckTest)
#include "tst_scheduling_duecheck.moc"
