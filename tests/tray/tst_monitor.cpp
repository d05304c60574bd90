// The timer work and the calls into Kalvex.
#include "TrayFixture.h"
#include "modMain.h"

#include <QTest>

class MonitorTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_tray = std::make_unique<TrayFixture>(); }
    void cleanup() { m_tray.reset(); }

    void tickChecksOnlyOncePublishedTimeHasPassed_data();
    void tickChecksOnlyOncePublishedTimeHasPassed();
    void unknownKalvexIsRegisteredOnceAfterItsRegistrationFinished();
    void failedCallsAreLoggedUnderTheirWrapperAndDropped();

private:
    std::unique_ptr<TrayFixture> m_tray;
};

void MonitorTest::tickChecksOnlyOncePublishedTimeHasPassed_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("nowSecond");
    QTest::addColumn<bool>("checks");

    // Now is 05/12/2026 21:59:<nowSecond>.
    // clang-format off
    QTest::newRow("NULL") << QByteArray("[Reminder]\nNextDate=NULL\n") << 30 << false;
    QTest::newRow("this minute, not yet past") << QByteArray("[Reminder]\nNextDate=051220262159\n") << 0 << false;
    QTest::newRow("this minute, seconds past") << QByteArray("[Reminder]\nNextDate=051220262159\n") << 30 << true;
    // Only a hand-edited file holds these; they count as no due time.
    QTest::newRow("no such day") << QByteArray("[Reminder]\nNextDate=310220201200\n") << 30 << false;
    QTest::newRow("signs and blanks") << QByteArray("[Reminder]\nNextDate=-1 12 2020 1200\n") << 30 << false;
    // clang-format on
}

void MonitorTest::tickChecksOnlyOncePublishedTimeHasPassed()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, nowSecond);
    QFETCH(bool, checks);
    m_tray->writeIni(ini);
    Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, nowSecond));

    modMain::CheckNextDate();
    modMain::CheckNextDate();

    QCOMPARE(m_tray->kalvex.calls.size(), checks ? 2 : 0);
    QCOMPARE(m_tray->log(), QString());
}

// A fresh installation: the bus does not know Kalvex until "/REGSERVER" has
// run, so the retry must wait for that run to finish.
void MonitorTest::unknownKalvexIsRegisteredOnceAfterItsRegistrationFinished()
{
    writeBytes(m_tray->dir.file("Kalvex"),
               "#!/bin/sh\nsleep 0.5\necho \"$@\" >> \"$(dirname \"$0\")/registered\"\n",
               QFile::ReadOwner | QFile::ExeOwner);

    const QString registered = m_tray->dir.file("registered");
    QStringList seenAtRetry;
    m_tray->kalvex.notCreatedLeft = 1;
    m_tray->kalvex.onCall = [&](const QString&) {
        seenAtRetry << QString::fromUtf8(fileBytes(registered).trimmed());
    };

    modMain::UpdateList();

    QCOMPARE(m_tray->kalvex.calls, (QStringList{"UpdateList", "UpdateList"}));
    QCOMPARE(seenAtRetry, (QStringList{"", "/REGSERVER"}));
    QCOMPARE(m_tray->log(), QString());
    QVERIFY(m_tray->endings.isEmpty());
}

void MonitorTest::failedCallsAreLoggedUnderTheirWrapperAndDropped()
{
    FakeKalvex& kalvex = m_tray->kalvex;
    kalvex.failingMethod = "CheckList";
    modMain::CheckList();
    kalvex.failingMethod = "MsgProcess";
    modMain::MsgProc("UPD\t1\t");
    kalvex.failingMethod = "ShowList";
    modMain::ShowList();
    // Kalvex showed its window, yet no window titled "תזכורון ולטרום" can be found.
    kalvex.failingMethod.clear();
    modMain::ShowList();
    // Only GetKalvex registers Kalvex: the list and the datagrams are not retried.
    kalvex.notCreatedLeft = 2;
    modMain::ShowList();
    modMain::MsgProc("DEL\t1\t");

    QCOMPARE(kalvex.calls, (QStringList{"CheckList", "MsgProcess", "ShowList", "ShowList",
                                        "ShowList", "MsgProcess"}));
    QVERIFY(m_tray->endings.isEmpty());
    const QStringList lines = m_tray->log().split('\n', Qt::SkipEmptyParts);
    const QStringList expected = {
        "CheckList: boom",    "MsgProc: boom",
        "ShowList: boom",     "ShowList: Invalid procedure call or argument",
        "ShowList: The name", "MsgProc: The name"};
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(lines[i].contains(" -> " + expected[i]), qPrintable(lines[i]));
}

QTEST_MAIN(MonitorTest)
#include "tst_monitor.moc"
