// The hidden main form: tray icon, running and stopped states.
#include "TrayFixture.h"
#include "frmWinSock.h"

#include <QAction>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

namespace {

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

} // namespace

class FrmMainTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TrayFixture> m_tray;

private slots:
    void init() { m_tray = std::make_unique<TrayFixture>(); }
    void cleanup() { m_tray.reset(); }

    // Once the wait for a panel is over, with the timer running meanwhile:
    // Abort ends the program, Retry looks again, Ignore carries on without icon.
    void refusedTrayIconAsksAbortRetryIgnore_data()
    {
        QTest::addColumn<QList<Prompt::Answer>>("answers");
        QTest::newRow("abort") << QList<Prompt::Answer>{Prompt::Answer::Abort};
        QTest::newRow("retry, then ignore")
            << QList<Prompt::Answer>{Prompt::Answer::Retry, Prompt::Answer::Ignore};
    }
    void refusedTrayIconAsksAbortRetryIgnore()
    {
        QFETCH(QList<Prompt::Answer>, answers);
        TrayHost::setPatience({200, 5});
        m_tray->trayAvailable = [] { return false; };
        for (Prompt::Answer a : answers)
            Prompt::setNextAnswer(a);
        FrmMain* form = FrmMain::load();
        QVERIFY(form->findChild<QTimer*>("Timer1")->isActive());
        QTRY_COMPARE(Prompt::history().size(), answers.size());
        QCOMPARE(Prompt::history().last().buttons, Prompt::Buttons::AbortRetryIgnore);
        const bool carriesOn = answers.size() == 2;
        QTRY_COMPARE(FrmMain::instance() != nullptr, carriesOn);
        QCOMPARE(m_tray->endings, carriesOn ? QStringList{} : QStringList{"quit"});
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
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"
