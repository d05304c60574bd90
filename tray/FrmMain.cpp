#include "tray/FrmMain.h"

#include "tray/BrokerState.h"

#include "common/Ini.h"
#include "common/KalvexProxies.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "common/ui/CloseWindowByCaption.h"
#include "platform/ui/Named.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/RightToLeftText.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/WindowDirectory.h"
#include "tray/ArrivalNotices.h"
#include "tray/BrokerState.h"
#include "tray/DueWakeUp.h"
#include "tray/KalvexClient.h"
#include "tray/LanSwitches.h"
#include "tray/OpenAlerts.h"
#include "tray/ProgramEnd.h"
#include "tray/ReminderFileWatch.h"
#include "tray/TrayHost.h"
#include "tray/TrayIcons.h"
#include "tray/frmWinSock.h"
#include "tray/modMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace {

FrmMain* g_instance = nullptr;

const QString kTipRunning = QStringLiteral("תזכורון ולטרום");
const QString kTipStopped = QStringLiteral("תזכורון ולטרום - לא פעיל");

QLabel* imageControl(QWidget* form, const char* name, ClockFace face)
{
    auto* image = named(new QLabel(form), QString::fromLatin1(name));
    image->setPixmap(drawAlarmClock(face));
    image->hide();
    return image;
}

QIcon iconOf(const QLabel* image)
{
    return QIcon(image->pixmap());
}

// The running tip, with why the LAN receiver is off where it could not bind.
QString runningTip()
{
    return modMain::LanTrouble.isEmpty() ? kTipRunning
                                         : kTipRunning + QLatin1Char('\n') + modMain::LanTrouble;
}

} // namespace

FrmMain::FrmMain()
{
    setObjectName(QStringLiteral("FrmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(trayMainFormCaption());
    createControls();
    createMenu();
    connect(&BrokerState::instance(), &BrokerState::changed, this, [this] {
        if (Picture1)
            Picture1->setToolTip(shownTip());
    });
    WindowDirectory::publish(this);
}

FrmMain::~FrmMain()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void FrmMain::createControls()
{
    m_trayLook = new QTimer(this);
    connect(m_trayLook, &QTimer::timeout, this, &FrmMain::lookAgain);

    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
    Timer1->start();
    m_dueWakeUp = new DueWakeUp(Timer1->interval(), this);
    m_reminderFile = std::make_unique<ReminderFileWatch>();

    Image3 = imageControl(this, "Image3", ClockFace::RunningLan);
    Image2 = imageControl(this, "Image2", ClockFace::Stopped);
    Image1 = imageControl(this, "Image1", ClockFace::Running);
}

void FrmMain::createMenu()
{
    MainMenu = named(new QMenu(QStringLiteral("MainMenu"), this), QStringLiteral("MainMenu"));
    MainMenu->setLayoutDirection(Qt::RightToLeft);
    const auto item = [this](const char* name, const QString& text) {
        return named(MainMenu->addAction(text), QString::fromLatin1(name));
    };
    mnuCloseAll = item("mnuCloseAll", QStringLiteral("סגור הכל"));
    mnuDelayAll = item("mnuDelayAll", QStringLiteral("דחה הכל"));
    alertsLine = named(MainMenu->addSeparator(), QStringLiteral("alertsLine"));
    mnuShowList = item("mnuShowList", QStringLiteral("הצג רשימה"));
    mnuDisable = item("mnuDisable", QStringLiteral("עצור"));
    // Ending the monitor stands apart from the alerts' "סגור הכל".
    named(MainMenu->addSeparator(), QStringLiteral("exitLine"));
    mnuExit = item("mnuExit", QStringLiteral("סגור"));
    stam = named(MainMenu->addSeparator(), QStringLiteral("stam"));
    mnuABout = item("mnuABout", QStringLiteral("אודות"));
    connect(mnuShowList, &QAction::triggered, this, &FrmMain::mnuShowList_Click);
    connect(mnuDisable, &QAction::triggered, this, &FrmMain::mnuDisable_Click);
    connect(mnuExit, &QAction::triggered, this, &FrmMain::mnuExit_Click);
    connect(mnuABout, &QAction::triggered, this, &FrmMain::mnuABout_Click);
    m_openAlerts = new OpenAlerts(this);
    connect(mnuCloseAll, &QAction::triggered, m_openAlerts, &OpenAlerts::closeAll);
    connect(mnuDelayAll, &QAction::triggered, m_openAlerts, &OpenAlerts::postponeAll);
    connect(m_openAlerts, &OpenAlerts::changed, this, &FrmMain::showAlertItems);
    showAlertItems(m_openAlerts->count());
}

void FrmMain::showAlertItems(int openAlerts)
{
    for (QAction* action : {mnuCloseAll, mnuDelayAll, alertsLine})
        action->setVisible(openAlerts > 0);
    if (Picture1)
        Picture1->setToolTip(shownTip());
}

// The state's tip, and how many alerts Kalvex shows while there are any.
QString FrmMain::shownTip() const
{
    const int open = m_openAlerts ? m_openAlerts->count() : 0;
    const QString& broker = BrokerState::instance().text();
    const QString tip = broker.isEmpty() ? m_tip : m_tip + QLatin1Char('\n') + broker;
    if (open == 0)
        return tip;
    return tip + (open == 1 ? QStringLiteral(" - תזכורת פתוחה אחת")
                            : QStringLiteral(" - %1 תזכורות פתוחות").arg(open));
}

FrmMain* FrmMain::load()
{
    if (!g_instance) {
        g_instance = new FrmMain;
        g_instance->Form_Load();
    }
    return g_instance;
}

FrmMain* FrmMain::instance()
{
    return g_instance;
}

void FrmMain::unload()
{
    if (g_instance)
        g_instance->close();
}

void FrmMain::Form_Load()
{
    const bool loaded = trapped(QStringLiteral("LOAD"), [this] {
        modMain::LANInit();
        m_arrivals = new ArrivalNotices(
            [this](const QString& title, const QString& text) {
                if (Picture1) // a Latin nickname or title first must not turn a line around
                    Picture1->showMessage(RightToLeftText::fromTheRight(title),
                                          RightToLeftText::fromTheRight(text),
                                          QSystemTrayIcon::Information);
            },
            this);
        setTrayIcon(GetImage(), runningTip());
        lookForTray();
        if (!modMain::UpdateList())
            unload();
        if (m_unloaded)
            return;
        if (!modMain::IsActive())
            SetState(false);
    });
    if (!loaded)
        close();
}

void FrmMain::lookForTray()
{
    if (TrayHost::available())
        return showTrayIcon();
    m_trayWait.setRemainingTime(TrayHost::patience().waitMs);
    m_trayLook->start(TrayHost::patience().lookMs);
}

void FrmMain::lookAgain()
{
    if (TrayHost::available()) {
        m_trayLook->stop();
        showTrayIcon();
    } else if (!m_trayIgnored && m_trayWait.hasExpired()) {
        m_trayLook->stop();
        askAboutTray();
    }
}

void FrmMain::askAboutTray()
{
    while (!TrayHost::available()) {
        const Prompt::Answer answer =
            Prompt::message(nullptr, QStringLiteral("תזכורון ולטרום לא הצליח ליצור איקון"),
                            appTitle(), Prompt::Buttons::AbortRetryIgnore, Prompt::Icon::Question);
        if (m_unloaded)
            return;
        if (answer == Prompt::Answer::Abort) {
            close();
            return;
        }
        if (answer == Prompt::Answer::Ignore) {
            m_trayIgnored = true;
            m_trayLook->start(TrayHost::patience().lookMs);
            return;
        }
    }
    showTrayIcon();
}

// Qt picks the kind of tray when the first icon is created, so it is created
// only now that one is there.
void FrmMain::showTrayIcon()
{
    if (m_unloaded)
        return;
    if (!Picture1) {
        m_triggerOpensList = TrayHost::statusNotifier();
        Picture1 = named(new QSystemTrayIcon(this), QStringLiteral("Picture1"));
        connect(Picture1, &QSystemTrayIcon::activated, this, &FrmMain::Picture1_Activated);
        connect(Picture1, &QSystemTrayIcon::messageClicked, this,
                [this] { modMain::ShowList(m_arrivals ? m_arrivals->clickTarget() : 0); });
    }
    Picture1->setIcon(m_icon);
    Picture1->setToolTip(shownTip());
    Picture1->show();
    // Told once, as the icon first shows: the tip keeps it afterwards.
    if (!m_lanTroubleTold && !modMain::LanTrouble.isEmpty())
        Picture1->showMessage(appTitle(), modMain::LanTrouble, QSystemTrayIcon::Warning);
    m_lanTroubleTold = true;
}

void FrmMain::setTrayIcon(const QIcon& icon, const QString& tip)
{
    m_icon = icon;
    m_tip = tip;
    if (Picture1) {
        Picture1->setIcon(icon);
        Picture1->setToolTip(shownTip());
    }
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

// Whatever caused it, the unload removes the icon and ends Tolvane.
void FrmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    m_dueWakeUp->setRunning(false);
    m_trayLook->stop();
    if (Picture1)
        Picture1->hide();
    frmWinSock::unload();
    SingleInstance::release();
    if (g_instance == this)
        g_instance = nullptr;
    ProgramEnd::quit();
}

QIcon FrmMain::GetImage() const
{
    return iconOf(modMain::SendFlag || modMain::ReceiveFlag ? Image3 : Image1);
}

void FrmMain::SetState(bool active)
{
    if (active) {
        Timer1->start();
        m_dueWakeUp->setRunning(true);
        mnuDisable->setText(QStringLiteral("עצור"));
        setTrayIcon(GetImage(), runningTip());
    } else {
        setTrayIcon(iconOf(Image2), kTipStopped);
        Timer1->stop();
        m_dueWakeUp->setRunning(false);
        mnuDisable->setText(QStringLiteral("הפעל"));
    }
}

void FrmMain::Picture1_Activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: // a StatusNotifier host sends only this
        if (m_triggerOpensList)
            modMain::ShowList();
        break;
    case QSystemTrayIcon::DoubleClick:
        modMain::ShowList();
        break;
    case QSystemTrayIcon::Context:
        MainMenu->popup(QCursor::pos());
        break;
    default: // a single click and the rest do nothing
        break;
    }
}

// A row another program added may fall due before the time published: once
// the database has changed, Kalvex publishes again (its own writes count
// too, once each, as they change the file).
void FrmMain::Timer1_Timer()
{
    if (m_reminderFile->changed())
        modMain::UpdateList();
    modMain::CheckNextDate();
    m_dueWakeUp->rearm(); // a due time within the next tick is waited for to the millisecond
}

void FrmMain::mnuShowList_Click()
{
    modMain::ShowList();
}

void FrmMain::mnuDisable_Click()
{
    const bool running = Timer1->isActive();
    SetState(!running);
    WriteIni(SettingsKeys::reminderSection, SettingsKeys::active,
             running ? QStringLiteral("0") : QStringLiteral("1"));
}

// The question blocks no window of its own (there is none): the menu stays
// usable meanwhile, and asking again while it is open asks nothing.
void FrmMain::mnuExit_Click()
{
    if (m_askingExit)
        return;
    m_askingExit = true;
    const Prompt::Answer answer =
        Prompt::message(nullptr, QStringLiteral("האם ברצונך לסגור את התזכורון"), appTitle(),
                        Prompt::Buttons::OkCancel, Prompt::Icon::Question);
    m_askingExit = false;
    if (answer != Prompt::Answer::Ok || m_unloaded)
        return;
    CloseWindowByCaption(managerWindowCaption());
    close();
}

// Kalvex out of reach is logged like the other calls, not left to crash the menu.
void FrmMain::mnuABout_Click()
{
    trapped(QStringLiteral("mnuABout"), [] {
        Kalvex::client().call([](KalvexKVClassInterface& kalvex) { return kalvex.ShowAbout(); });
    });
}
