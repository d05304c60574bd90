// The timer work, the precise wake-up between ticks and the calls into Kalvex.
#include "TrayFixture.h"
#include "WallClockWatch.h"
#include "modMain.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

Date at(int hour, int minute, int second)
{
    return Date::fromParts(2026, 12, 5, hour, minute, second);
}

} // namespace

class MonitorTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TrayFixture> m_tray;

    // Loads the form with NextDate 22:00 and the clock at now.
    void load(const Date& now, const QByteArray& active = "1")
    {
        m_tray->writeIni("[Reminder]\nNextDate=051220262200\nActive=" + active + "\n");
        Clock::setNow(now);
        FrmMain::load();
        m_tray->kalvex.calls.clear();
    }
    QTimer* timerDue() const { return FrmMain::instance()->findChild<QTimer*>("TimerDue"); }
    // The armed delay in milliseconds, -1 when nothing is armed.
    int armed() const { return timerDue()->isActive() ? timerDue()->interval() : -1; }
    void clockJumps(const Date& to)
    {
        Clock::setNow(to);
        emit FrmMain::instance()->findChild<WallClockWatch*>()->jumped();
    }

private slots:
    void init() { m_tray = std::make_unique<TrayFixture>(); }
    void cleanup() { m_tray.reset(); }

    // Now is 21:59:<second>; a time only a hand-edited file holds counts as none.
    void tickChecksOnlyOncePublishedTimeHasPassed()
    {
        const struct
        {
            QByteArray nextDate;
            int second;
            bool checks;
        } cases[] = {{"NULL", 30, false},
                     {"051220262159", 0, false},
                     {"051220262159", 30, true},
                     {"310220201200", 30, false}};
        for (const auto& c : cases) {
            m_tray->kalvex.calls.clear();
            m_tray->writeIni("[Reminder]\nNextDate=" + c.nextDate + "\n");
            Clock::setNow(at(21, 59, c.second));
            modMain::CheckNextDate();
            QCOMPARE(m_tray->kalvex.calls.size(), c.checks ? 1 : 0);
        }
        QCOMPARE(m_tray->log(), QString());
    }

    // Armed for the first second past the due minute, when that comes
    // before the next tick, and only while running.
    void wakeUpIsArmedBeforeTheNextTick()
    {
        const struct
        {
            Date now;
            QByteArray active;
            int delayMs;
        } cases[] = {{at(21, 59, 55), "1", 6000},
                     {at(21, 59, 50), "1", -1},
                     {at(22, 0, 1), "1", -1},
                     {at(21, 59, 55), "0", -1}};
        for (const auto& c : cases) {
            load(c.now, c.active);
            QCOMPARE(armed(), c.delayMs);
            FrmMain::unload();
        }
    }

    // A wake-up that comes before the clock shows the due time passed calls
    // nothing and waits again; one on the second asks for the due check once.
    void firesOnTheSecondAndNeverBefore()
    {
        load(at(22, 0, 0));
        QCOMPARE(armed(), 1000);
        QSignalSpy fired(timerDue(), &QTimer::timeout);
        QVERIFY(fired.wait(3000));
        QCOMPARE(m_tray->kalvex.calls, QStringList());
        QCOMPARE(armed(), 1000);
        Clock::advance(1);
        QVERIFY(fired.wait(3000));
        QCOMPARE(m_tray->kalvex.calls, QStringList{"CheckList"});
        QCOMPARE(armed(), -1);
    }

    void wakeUpFollowsNewPublicationsAndClockJumps()
    {
        load(at(21, 0, 0));
        // Moved forward to just before the due time (a manual change), then
        // past it (a resume after the due time went by while suspended).
        clockJumps(at(21, 59, 57));
        QCOMPARE(armed(), 4000);
        clockJumps(at(22, 5, 0));
        QCOMPARE(armed(), -1);
        QCOMPARE(m_tray->kalvex.calls, QStringList{"CheckList"});
        // Kalvex publishes a new time between two ticks.
        Clock::setNow(at(22, 5, 55));
        WriteIni("Reminder", "NextDate", "051220262206");
        QTRY_COMPARE(armed(), 6000);
    }

    // Logged under the wrapper's name and dropped: only GetKalvex registers
    // Kalvex, so the list and the datagrams are not retried.
    void failedCallsAreLoggedUnderTheirWrapperAndDropped()
    {
        m_tray->kalvex.notCreatedLeft = 2;
        modMain::ShowList();
        modMain::MsgProc("DEL\t1\t");
        QCOMPARE(m_tray->kalvex.calls, (QStringList{"ShowList", "MsgProcess"}));
        QVERIFY(m_tray->endings.isEmpty());
        const QStringList lines = m_tray->log().split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() == 2 && lines[0].contains(" -> ShowList: The name") &&
                lines[1].contains(" -> MsgProc: The name"));
    }
};

QTEST_MAIN(MonitorTest)
#include "tst_monitor.moc"
