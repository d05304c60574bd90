// The tray monitor in process: hidden main form, tray icon, timer work, the
// precise wake-up between ticks and the calls into Kalvex.
#include "Clock.h"
#include "FrmMain.h"
#include "Ini.h"
#include "KalvexClient.h"
#include "Log.h"
#include "ProgramEnd.h"
#include "Prompt.h"
#include "TempProgramDir.h"
#include "TestFiles.h"
#include "TrayHost.h"
#include "WallClockWatch.h"
#include "frmWinSock.h"
#include "modMain.h"

#include <QAction>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <functional>

namespace {

// Kalvex as the tray monitor sees it, recording every call.
class FakeKalvex : public KalvexClient
{
public:
    QStringList calls;
    int notCreatedLeft = 0;

    void call(const QString& method, const QVariantList&) override
    {
        calls << method;
        if (notCreatedLeft > 0 && notCreatedLeft--)
            throw NotCreated(
                QStringLiteral("The name Kalvex.KVClass was not provided by any .service files"));
    }
};

// A fresh program directory, a pinned clock, the fake Kalvex, a tray host unless
// refused, the program's ending recorded.
class TrayFixture
{
public:
    TrayFixture()
    {
        Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, 30));
        StartLogging(QStringLiteral("Tolvane.log"));
        Kalvex::setClient(&kalvex);
        ProgramEnd::setHook([this](bool atOnce) { endings << (atOnce ? "now" : "quit"); });
        TrayHost::setAvailability([this] { return trayAvailable(); });
        Prompt::clearHistory();
        writeIni({});
    }
    ~TrayFixture()
    {
        FrmMain::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Kalvex::setClient(nullptr);
        ProgramEnd::setHook(nullptr);
        TrayHost::setAvailability(nullptr);
        TrayHost::setPatience({});
        Clock::useSystemClock();
    }

    // With a LAN port of the test's own unless the text has one.
    void writeIni(const QByteArray& text)
    {
        writeBytes(dir.file(QStringLiteral("Kalvex.ini")), text);
        if (!text.contains("Port="))
            WriteIni(QStringLiteral("LAN_Settings"), QStringLiteral("Port"), QString::number(port));
    }
    QString log() const { return QString::fromUtf8(fileBytes(dir.file("Tolvane.log"))); }

    TempProgramDir dir;
    quint16 port = freeUdpPort();
    FakeKalvex kalvex;
    QStringList endings;
    std::function<bool()> trayAvailable = [] { return true; };
};

// The clock face's colour, away from the hands and marks.
QString faceOf(FrmMain* form)
{
    const QColor c = form->findChild<QSystemTrayIcon*>("Picture1")
                         ->icon()
                         .pixmap(16, 16)
                         .toImage()
                         .pixelColor(10, 10);
    if (c.red() > 200 && c.green() > 180 && c.blue() < 80)
        return "yellow";
    if (c.red() > 240 && c.green() > 240 && c.blue() > 240)
        return "white";
    return c.red() == c.green() && c.green() == c.blue() ? "grey" : c.name();
}

Date at(int hour, int minute, int second)
{
    return Date::fromParts(2026, 12, 5, hour, minute, second);
}

} // namespace

class TrayTest : public QObject
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

    // Once the wait for a panel is over, with the timer running meanwhile:
    // Abort ends the program, Retry looks again, Ignore carries on without icon.
    void refusedTrayIconAsksAbortRetryIgnore()
    {
        using A = Prompt::Answer;
        for (const QList<A>& answers : {QList<A>{A::Abort}, QList<A>{A::Retry, A::Ignore}}) {
            cleanup(), init();
            TrayHost::setPatience({200, 5});
            m_tray->trayAvailable = [] { return false; };
            for (A a : answers)
                Prompt::setNextAnswer(a);
            FrmMain* form = FrmMain::load();
            QVERIFY(form->findChild<QTimer*>("Timer1")->isActive());
            QTRY_COMPARE(Prompt::history().size(), answers.size());
            QCOMPARE(Prompt::history().last().buttons, Prompt::Buttons::AbortRetryIgnore);
            const bool carriesOn = answers.size() == 2;
            QTRY_COMPARE(FrmMain::instance() != nullptr, carriesOn);
            QCOMPARE(m_tray->endings, carriesOn ? QStringList{} : QStringList{"quit"});
        }
    }

    // Yellow while sharing on the LAN works, white when it is off or its
    // port is held (logged); grey while stopped.
    void runningIconFollowsLanSwitches()
    {
        QUdpSocket holder;
        QVERIFY(
            holder.bind(QHostAddress::AnyIPv4, freeUdpPort(), QAbstractSocket::DontShareAddress));
        const QByteArray taken = QByteArray::number(holder.localPort());
        const struct
        {
            QByteArray ini;
            QString face;
        } cases[] = {{"OptSend=False\nOptReceive=true\n", "yellow"},
                     {"OptSend=0\nOptReceive=0\n", "white"},
                     {"Port=" + taken + "\n", "white"}};
        for (const auto& c : cases) {
            m_tray->writeIni("[LAN_Settings]\n" + c.ini);
            FrmMain* form = FrmMain::load();
            QCOMPARE(faceOf(form), c.face);
            QCOMPARE(frmWinSock::instance() != nullptr, c.face == "yellow");
            form->SetState(false);
            QCOMPARE(faceOf(form), QString("grey"));
            form->SetState(true);
            QCOMPARE(faceOf(form), c.face);
            FrmMain::unload();
        }
        QVERIFY2(m_tray->log().contains(" -> LANInit: UDP port " + taken + ": "),
                 qPrintable(m_tray->log()));
    }

    // Stopped from the menu while the published time passes, then resumed:
    // the very first tick asks for the due check.
    void resumedFromTheMenuTheFirstTickChecks()
    {
        m_tray->writeIni("[Reminder]\nNextDate=051220262205\n");
        FrmMain* form = FrmMain::load();
        auto* item = form->findChild<QAction*>("mnuDisable");
        auto* timer = form->findChild<QTimer*>("Timer1");
        item->trigger();
        Clock::advance(10 * 60);
        item->trigger();
        qsizetype checksAtFirstTick = -1;
        connect(timer, &QTimer::timeout, this, [&] {
            if (checksAtFirstTick < 0)
                checksAtFirstTick = m_tray->kalvex.calls.count("CheckList");
        });
        timer->setInterval(20);
        QTRY_COMPARE(checksAtFirstTick, 1);
    }

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

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
