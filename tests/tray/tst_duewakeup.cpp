// The precise wake-up between ticks: when it is armed, for which moment, and
// what it asks of Kalvex when it fires.
#include "Ini.h"
#include "TrayFixture.h"
#include "WallClockWatch.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

Date at(int hour, int minute, int second)
{
    return Date::fromParts(2026, 12, 5, hour, minute, second);
}

} // namespace

class DueWakeUpTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_tray = std::make_unique<TrayFixture>(); }
    void cleanup() { m_tray.reset(); }

    void armedForTheFirstSecondPastTheDueMinute_data();
    void armedForTheFirstSecondPastTheDueMinute();
    void firesOnTheSecondAndNeverBefore();
    void followsNewPublicationsAndClockJumps();

private:
    // Loads the form with NextDate 22:00 (or the given value) and the clock at now.
    FrmMain* load(const Date& now, const QByteArray& nextDate = "051220262200",
                  const QByteArray& active = "1")
    {
        m_tray->writeIni("[Reminder]\nNextDate=" + nextDate + "\nActive=" + active + "\n");
        Clock::setNow(now);
        FrmMain* form = FrmMain::load();
        m_tray->kalvex.calls.clear();
        return form;
    }
    QTimer* timerDue() const { return FrmMain::instance()->findChild<QTimer*>("TimerDue"); }
    // The armed delay in milliseconds, -1 when nothing is armed.
    int armed() const { return timerDue()->isActive() ? timerDue()->interval() : -1; }
    void clockJumps(const Date& to)
    {
        Clock::setNow(to);
        emit FrmMain::instance()->findChild<WallClockWatch*>()->jumped();
    }

    std::unique_ptr<TrayFixture> m_tray;
};

void DueWakeUpTest::armedForTheFirstSecondPastTheDueMinute_data()
{
    QTest::addColumn<Date>("now");
    QTest::addColumn<QByteArray>("nextDate");
    QTest::addColumn<QByteArray>("active");
    QTest::addColumn<int>("delayMs");

    // clang-format off
    QTest::newRow("six seconds ahead") << at(21, 59, 55) << QByteArray("051220262200") << QByteArray("1") << 6000;
    QTest::newRow("beyond the next tick") << at(21, 59, 50) << QByteArray("051220262200") << QByteArray("1") << -1;
    QTest::newRow("due minute begun, not yet past") << at(22, 0, 0) << QByteArray("051220262200") << QByteArray("1") << 1000;
    QTest::newRow("passed: the tick's") << at(22, 0, 1) << QByteArray("051220262200") << QByteArray("1") << -1;
    QTest::newRow("stopped") << at(21, 59, 55) << QByteArray("051220262200") << QByteArray("0") << -1;
    // clang-format on
}

void DueWakeUpTest::armedForTheFirstSecondPastTheDueMinute()
{
    QFETCH(Date, now);
    QFETCH(QByteArray, nextDate);
    QFETCH(QByteArray, active);
    QFETCH(int, delayMs);
    load(now, nextDate, active);
    QCOMPARE(armed(), delayMs);
}

// A wake-up that comes before the clock shows the due time passed calls
// nothing and waits again; one on the second asks for the due check once.
void DueWakeUpTest::firesOnTheSecondAndNeverBefore()
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

void DueWakeUpTest::followsNewPublicationsAndClockJumps()
{
    load(at(21, 0, 0));
    QCOMPARE(armed(), -1);

    // Moved forward to just before the due time (a manual change), then past
    // it (a resume after the due time went by while suspended).
    clockJumps(at(21, 59, 57));
    QCOMPARE(armed(), 4000);
    QCOMPARE(m_tray->kalvex.calls, QStringList());
    clockJumps(at(22, 5, 0));
    QCOMPARE(armed(), -1);
    QCOMPARE(m_tray->kalvex.calls, QStringList{"CheckList"});

    // Kalvex publishes a new time between two ticks.
    Clock::setNow(at(22, 5, 55));
    WriteIni("Reminder", "NextDate", "051220262206");
    QTRY_COMPARE(armed(), 6000);

    // Stopping disarms; running again arms.
    FrmMain::instance()->SetState(false);
    QCOMPARE(armed(), -1);
    FrmMain::instance()->SetState(true);
    QCOMPARE(armed(), 6000);
}

QTEST_MAIN(DueWakeUpTest)
#include "tst_duewakeup.moc"
