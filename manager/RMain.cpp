#include "manager/RMain.h"

#include "common/WindowCaptions.h"
#include "platform/Throttle.h"
#include "platform/ui/WindowDirectory.h"
#include "store/Database.h"
#include "store/ReminderChanges.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {
RMain* g_instance = nullptr;
std::function<void(QWidget*)> g_aboutHandler;
RMain::SendRUpdateHook g_sendRUpdateHook;
RMain::LanWindows g_lanWindows;
} // namespace

RMain::RMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("RMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(managerWindowCaption());
    WindowDirectory::publish(this);
    buildUi();
    // The window sees its keys and focus changes before its controls do.
    qApp->installEventFilter(this);
    ReminderChanges::watchWhile(this); // before the list is first read
    m_follow = new Throttle(
        kFollowGapMs, [this] { showStoredChanges(); }, this);
    connect(ReminderChanges::instance(), &ReminderChanges::changed, this, &RMain::followChanges);
    // Ending the process or the session with the window open: nothing may
    // wait on the user, and nothing typed is lost.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &RMain::keepEditAsDraft);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &RMain::keepEditAsDraft);
    Form_Load();
}

RMain::~RMain()
{
    if (g_instance == this)
        g_instance = nullptr;
}

RMain* RMain::instance()
{
    return g_instance;
}

RMain* RMain::load()
{
    if (!g_instance)
        g_instance = new RMain;
    return g_instance;
}

void RMain::setAboutHandler(std::function<void(QWidget*)> handler)
{
    g_aboutHandler = std::move(handler);
}

void RMain::setSendRUpdateHook(SendRUpdateHook hook)
{
    g_sendRUpdateHook = std::move(hook);
}

void RMain::setLanWindows(LanWindows windows)
{
    g_lanWindows = std::move(windows);
}

const RMain::SendRUpdateHook& RMain::sendRUpdateHook()
{
    return g_sendRUpdateHook;
}

const RMain::LanWindows& RMain::lanWindows()
{
    return g_lanWindows;
}

void RMain::mnu_About_Click()
{
    if (g_aboutHandler)
        g_aboutHandler(this);
}

// A question open on this window blocks it (the alerts stay usable); the list
// follows the changes made meanwhile once it is answered, and a reminder an
// alert asked for is selected after the command that asked the question.
bool RMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowBlocked)
        m_blocked = true;
    if (event->type() == QEvent::WindowUnblocked) {
        m_blocked = false;
        followChanges();
        if (m_showAfterQuestion)
            QTimer::singleShot(0, this, [this] {
                if (const qint32 id = std::exchange(m_showAfterQuestion, 0))
                    ShowIndex(id);
            });
    }
    return QMainWindow::event(event);
}

bool RMain::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (Form_KeyDown(key->key(), key->modifiers()))
            return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        handleFocusColours(watched, event->type());
    return QMainWindow::eventFilter(watched, event);
}

void RMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Once, over the shown window, also when it was placed where the user left it.
    if (!std::exchange(m_draftOffered, true))
        QTimer::singleShot(0, this, &RMain::offerEditDraft);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// The user's close box asks about an edit in progress. A close request from
// outside (another program, the end of the session) never waits on a
// question: the edit is kept as a draft for the next opening.
void RMain::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous() && !leaveEdit()) {
        event->ignore();
        return;
    }
    if (!event->spontaneous())
        keepEditAsDraft();
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        rememberState();
    // Closed means unloaded: the next load() builds a fresh window even
    // before this one is deleted.
    if (event->isAccepted() && g_instance == this)
        g_instance = nullptr;
}
