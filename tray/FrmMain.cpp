#include "FrmMain.h"

#include "CloseWindowByCaption.h"
#include "DueWakeUp.h"
#include "Ini.h"
#include "KalvexClient.h"
#include "Log.h"
#include "ProgramEnd.h"
#include "Prompt.h"
#include "SingleInstance.h"
#include "TrayHost.h"
#include "TrayIcons.h"
#include "WindowCaptions.h"
#include "WindowDirectory.h"
#include "frmWinSock.h"
#include "modMain.h"

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
    auto* image = new QLabel(form);
    image->setObjectName(QString::fromLatin1(name));
    image->setPixmap(drawAlarmClock(face));
    image->hide();
    return image;
}

QIcon iconOf(const QLabel* image)
{
    return QIcon(image->pixmap());
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
    WindowDirectory::publish(this);
}

FrmMain::~FrmMain()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void FrmMain::createControls()
{
    Picture1 = new QSystemTrayIcon(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    connect(Picture1, &QSystemTrayIcon::activated, this, &FrmMain::Picture1_Activated);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
    Timer1->start();
    m_dueWakeUp = new DueWakeUp(Timer1->interval(), this);

    Image3 = imageControl(this, "Image3", ClockFace::RunningLan);
    Image2 = imageControl(this, "Image2", ClockFace::Stopped);
    Image1 = imageControl(this, "Image1", ClockFace::Running);
}

void FrmMain::createMenu()
{
    MainMenu = new QMenu(QStringLiteral("MainMenu"), this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    MainMenu->setLayoutDirection(Qt::RightToLeft);
    const auto item = [this](const char* name, const QString& text) {
        QAction* action = MainMenu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuShowList = item("mnuShowList", QStringLiteral("הצג רשימה"));
    mnuDisable = item("mnuDisable", QStringLiteral("עצור"));
    mnuExit = item("mnuExit", QStringLiteral("סגור"));
    stam = MainMenu->addSeparator();
    stam->setObjectName(QStringLiteral("stam"));
    mnuABout = item("mnuABout", QStringLiteral("אודות"));
    connect(mnuShowList, &QAction::triggered, this, &FrmMain::mnuShowList_Click);
    connect(mnuDisable, &QAction::triggered, this, &FrmMain::mnuDisable_Click);
    connect(mnuExit, &QAction::triggered, this, &FrmMain::mnuExit_Click);
    connect(mnuABout, &QAction::triggered, this, &FrmMain::mnuABout_Click);
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
    try {
        modMain::LANInit();
        Picture1->setIcon(GetImage());
        Picture1->setToolTip(kTipRunning);
        if (!addTrayIcon())
            return;
        modMain::UpdateList();
        if (m_unloaded)
            return;
        if (!modMain::IsActive())
            SetState(false);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("LOAD: ") + describe(e), LogError);
        close();
    }
}

bool FrmMain::addTrayIcon()
{
    while (!TrayHost::available()) {
        const Prompt::Answer answer =
            Prompt::message(nullptr, QStringLiteral("תזכורון ולטרום לא הצליח ליצור איקון"),
                            appTitle(), Prompt::Buttons::AbortRetryIgnore, Prompt::Icon::Question);
        if (answer == Prompt::Answer::Abort) {
            close();
            return false;
        }
        if (answer == Prompt::Answer::Ignore)
            return true;
    }
    Picture1->show();
    return true;
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
        Picture1->setIcon(GetImage());
        Picture1->setToolTip(kTipRunning);
    } else {
        Picture1->setIcon(iconOf(Image2));
        Picture1->setToolTip(kTipStopped);
        Timer1->stop();
        m_dueWakeUp->setRunning(false);
        mnuDisable->setText(QStringLiteral("הפעל"));
    }
}

void FrmMain::Picture1_Activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
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

void FrmMain::Timer1_Timer()
{
    modMain::CheckNextDate();
    m_dueWakeUp->rearm(); // a due time within the next tick is waited for to the second
}

void FrmMain::mnuShowList_Click()
{
    modMain::ShowList();
}

void FrmMain::mnuDisable_Click()
{
    const bool running = Timer1->isActive();
    SetState(!running);
    WriteIni(QStringLiteral("Reminder"), QStringLiteral("Active"),
             running ? QStringLiteral("0") : QStringLiteral("1"));
}

void FrmMain::mnuExit_Click()
{
    if (Prompt::message(nullptr, QStringLiteral("האם ברצונך לסגור את התזכורון"), appTitle(),
                        Prompt::Buttons::OkCancel, Prompt::Icon::Question) != Prompt::Answer::Ok)
        return;
    CloseWindowByCaption(managerWindowCaption());
    close();
}

// Kalvex out of reach is logged like the other calls, not left to crash the menu.
void FrmMain::mnuABout_Click()
{
    try {
        Kalvex::client().call(QStringLiteral("ShowAbout"));
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("mnuABout: ") + describe(e), LogError);
    }
}
