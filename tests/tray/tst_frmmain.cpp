// The hidden main form: tray icon, menu, running and stopped states.
#include "TrayFixture.h"
#include "frmWinSock.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

namespace {

enum class Face { Yellow, White, Grey, Other };

// The clock face's colour, away from the hands and marks.
Face faceOf(const QIcon& icon)
{
    const QColor c = icon.pixmap(16, 16).toImage().pixelColor(10, 10);
    if (c.alpha() < 200)
        return Face::Other;
    if (c.red() > 200 && c.green() > 180 && c.blue() < 80)
        return Face::Yellow;
    if (c.red() > 240 && c.green() > 240 && c.blue() > 240)
        return Face::White;
    if (c.red() == c.green() && c.green() == c.blue())
        return Face::Grey;
    return Face::Other;
}

QSystemTrayIcon* trayIcon(FrmMain* form)
{
    return form->findChild<QSystemTrayIcon*>("Picture1");
}
QTimer* timer1(FrmMain* form)
{
    return form->findChild<QTimer*>("Timer1");
}
QAction* menuItem(FrmMain* form, const char* name)
{
    return form->findChild<QAction*>(name);
}

// Right button on the icon, then a click on the item of the menu that pops up.
void chooseFromMenu(FrmMain* form, const char* item)
{
    emit trayIcon(form)->activated(QSystemTrayIcon::Context);
    auto* menu = form->findChild<QMenu*>("MainMenu");
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(menuItem(form, item)).center());
    QTRY_VERIFY(!menu->isVisible());
}

} // namespace

Q_DECLARE_METATYPE(Face)

class FrmMainTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_tray = std::make_unique<TrayFixture>(); }
    void cleanup() { m_tray.reset(); }

    void refusedTrayIconAsksAbortRetryIgnore_data();
    void refusedTrayIconAsksAbortRetryIgnore();
    void runningIconFollowsLanSwitches_data();
    void runningIconFollowsLanSwitches();
    void stopSurvivesRestartAndResumeChecksOnFirstTick();

private:
    std::unique_ptr<TrayFixture> m_tray;
};

void FrmMainTest::refusedTrayIconAsksAbortRetryIgnore_data()
{
    QTest::addColumn<QList<Prompt::Answer>>("answers");
    QTest::addColumn<int>("looks");     // a panel comes up after this many looks ...
    QTest::addColumn<int>("questions"); // ... or once this many questions were asked
    QTest::addColumn<bool>("carriesOn");
    QTest::addColumn<bool>("iconShown");

    using A = Prompt::Answer;
    QTest::newRow("abort") << QList<A>{A::Abort} << 1000 << 100 << false << false;
    QTest::newRow("retry until taken") << QList<A>{A::Retry, A::Retry} << 1000 << 2 << true << true;
    QTest::newRow("retry, then ignore")
        << QList<A>{A::Retry, A::Ignore} << 1000 << 100 << true << false;
}

// The question comes once the wait for a panel is over; the timer runs meanwhile.
void FrmMainTest::refusedTrayIconAsksAbortRetryIgnore()
{
    QFETCH(QList<Prompt::Answer>, answers);
    QFETCH(int, looks);
    QFETCH(int, questions);
    QFETCH(bool, carriesOn);
    QFETCH(bool, iconShown);
    TrayHost::setPatience({200, 5});
    int tries = 0;
    m_tray->trayAvailable = [&] {
        return ++tries > looks || Prompt::history().size() >= questions;
    };
    for (Prompt::Answer a : answers)
        Prompt::setNextAnswer(a);

    FrmMain* form = FrmMain::load();
    QVERIFY(timer1(form)->isActive());
    QCOMPARE(m_tray->kalvex.calls, QStringList{"UpdateList"});

    QTRY_COMPARE(Prompt::history().size(), answers.size());
    for (const Prompt::Shown& shown : Prompt::history())
        QCOMPARE(shown.buttons, Prompt::Buttons::AbortRetryIgnore);
    QTRY_COMPARE(FrmMain::instance() != nullptr, carriesOn);
    QCOMPARE(m_tray->endings, carriesOn ? QStringList{} : QStringList{"quit"});
    if (carriesOn)
        QTRY_COMPARE(trayIcon(form) && trayIcon(form)->isVisible(), iconShown);
}

void FrmMainTest::runningIconFollowsLanSwitches_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<Face>("running");
    QTest::addColumn<QString>("logged");

    QTest::newRow("defaults: both on") << QByteArray() << Face::Yellow << QString();
    QTest::newRow("only receiving, as words")
        << QByteArray("[LAN_Settings]\nOptSend=False\nOptReceive=true\n") << Face::Yellow
        << QString();
    QTest::newRow("both off") << QByteArray("[LAN_Settings]\nOptSend=0\nOptReceive=0\n")
                              << Face::White << QString();
    QTest::newRow("port held by another program")
        << QByteArray("[LAN_Settings]\nPort=TAKEN\n") << Face::White
        << QString("LANInit: UDP port TAKEN: ");
}

void FrmMainTest::runningIconFollowsLanSwitches()
{
    QFETCH(QByteArray, ini);
    QFETCH(Face, running);
    QFETCH(QString, logged);
    QUdpSocket holder; // holds the port a row names TAKEN
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, freeUdpPort(), QAbstractSocket::DontShareAddress));
    const QByteArray taken = QByteArray::number(holder.localPort());
    m_tray->writeIni(ini.replace("TAKEN", taken));
    logged.replace("TAKEN", taken);

    FrmMain* form = FrmMain::load();
    QCOMPARE(faceOf(trayIcon(form)->icon()), running);
    const QString entry = m_tray->log().trimmed().section(" -> ", 1);
    QVERIFY2(logged.isEmpty() ? entry.isEmpty() : entry.startsWith(logged), qPrintable(entry));
    QCOMPARE(frmWinSock::instance() != nullptr, running == Face::Yellow);

    form->SetState(false);
    QCOMPARE(faceOf(trayIcon(form)->icon()), Face::Grey);
    form->SetState(true);
    QCOMPARE(faceOf(trayIcon(form)->icon()), running);
}

void FrmMainTest::stopSurvivesRestartAndResumeChecksOnFirstTick()
{
    m_tray->writeIni("[Reminder]\nNextDate=051220262205\n"); // 21:59:30 now
    FrmMain* form = FrmMain::load();
    chooseFromMenu(form, "mnuDisable");
    QVERIFY(m_tray->iniText().contains("Active=0"));

    FrmMain::unload();
    form = FrmMain::load();
    QVERIFY(!timer1(form)->isActive());
    QCOMPARE(faceOf(trayIcon(form)->icon()), Face::Grey);
    QCOMPARE(menuItem(form, "mnuDisable")->text(), QString("הפעל"));

    // The published time passes while stopped; back to running, the very
    // first tick asks for the due check.
    Clock::advance(10 * 60);
    chooseFromMenu(form, "mnuDisable");
    QVERIFY(m_tray->iniText().contains("Active=1"));
    QCOMPARE(faceOf(trayIcon(form)->icon()), Face::Yellow);

    int checksAtFirstTick = -1;
    connect(timer1(form), &QTimer::timeout, this, [&] {
        if (checksAtFirstTick < 0)
            checksAtFirstTick = int(m_tray->kalvex.calls.count("CheckList"));
    });
    timer1(form)->setInterval(20);
    QTRY_COMPARE(checksAtFirstTick, 1);
}

QTEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"
