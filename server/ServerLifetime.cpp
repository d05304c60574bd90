#include "server/ServerLifetime.h"

#include "common/KalvexBus.h"
#include "common/WindowCaptions.h"
#include "common/ui/CloseWindowByCaption.h"
#include "lan/BrokerOutbox.h"
#include "platform/ui/WindowDirectory.h"
#include "server/CommandQueue.h"
#include "server/FrmDummy.h"
#include "server/WindowWatcher.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

namespace {

// On X11 copied text lives only as long as the program that owns the
// clipboard, so a list copied from the manager window keeps Kalvex serving
// until another program takes the clipboard.
bool ownsClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QGuiApplication::clipboard()->ownsClipboard();
}

} // namespace

namespace {
constexpr int kSessionEndPollMs = 20;
// Log-out waits about two seconds for a program before it kills it.
constexpr int kSessionEndMs = 1500;
} // namespace

ServerLifetime::ServerLifetime(const QDBusConnection& bus, WindowWatcher* watcher, QObject* parent)
    : QObject(parent), m_bus(bus)
{
    m_grace.setSingleShot(true);
    m_grace.setInterval(kIdleGraceMs);
    connect(&m_grace, &QTimer::timeout, this, &ServerLifetime::graceElapsed);
    connect(watcher, &WindowWatcher::windowHidden, this, &ServerLifetime::noteActivity);
    m_sessionEnd.setInterval(kSessionEndPollMs);
    connect(&m_sessionEnd, &QTimer::timeout, this, &ServerLifetime::finishSessionWhenDone);
}

void ServerLifetime::start()
{
    noteActivity();
}

void ServerLifetime::noteActivity()
{
    if (!m_leaving)
        m_grace.start();
}

bool ServerLifetime::isIdle() const
{
    return PendingCommands() == 0 && !FrmDummy::instance() &&
           WindowWatcher::visibleWindows().isEmpty() && !ownsClipboard() &&
           !BrokerOutbox::holdsKalvex();
}

void ServerLifetime::graceElapsed()
{
    if (!m_bus.isConnected())
        emit finished();
    else if (isIdle())
        leave();
    else
        m_grace.start();
}

void ServerLifetime::leave()
{
    m_leaving = true;
    m_grace.stop();
    // The bus answers the release only after it has routed to us every call
    // sent to the name before it; those are delivered (and forwarded) here.
    m_bus.unregisterService(KalvexBus::serviceName);
    QCoreApplication::processEvents();
    finishWhenForwarded();
}

void ServerLifetime::forward(const QDBusMessage& call)
{
    QDBusMessage onward = QDBusMessage::createMethodCall(
        KalvexBus::serviceName, KalvexBus::objectPath, call.interface(), call.member());
    onward.setArguments(call.arguments());
    ++m_forwardsInFlight;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(onward), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, call](QDBusPendingCallWatcher* w) {
                const QDBusMessage answer = w->reply();
                if (answer.type() == QDBusMessage::ErrorMessage)
                    m_bus.send(call.createErrorReply(answer.errorName(), answer.errorMessage()));
                else
                    m_bus.send(call.createReply(answer.arguments()));
                w->deleteLater();
                --m_forwardsInFlight;
                finishWhenForwarded();
            });
}

void ServerLifetime::finishWhenForwarded()
{
    if (m_leaving && m_forwardsInFlight == 0)
        emit finished();
}

void ServerLifetime::endSession()
{
    if (m_sessionEnd.isActive())
        return;
    m_grace.stop();
    ClearCommandQueue();
    CloseWindowByCaption(managerWindowCaption());
    m_sessionDeadline.setRemainingTime(kSessionEndMs);
    m_sessionEnd.start();
    finishSessionWhenDone();
}

// A command that waits on its user past the deadline is cut short: quitting
// ends its nested event loop too.
void ServerLifetime::finishSessionWhenDone()
{
    const bool done = !IsDraining() && !WindowDirectory::exists(managerWindowCaption());
    if (!done && !m_sessionDeadline.hasExpired())
        return;
    m_sessionEnd.stop();
    m_leaving = true;
    m_bus.unregisterService(KalvexBus::serviceName);
    emit finished();
}
