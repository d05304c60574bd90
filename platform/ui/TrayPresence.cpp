#include "platform/ui/TrayPresence.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
// A panel busy starting may answer late; the next look asks again.
constexpr int kAskMs = 1000;

// The screen number of DISPLAY (":0.1" is screen 1).
int screenNumber()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const int dot = display.lastIndexOf(QLatin1Char('.'));
    return dot > display.lastIndexOf(QLatin1Char(':')) ? display.mid(dot + 1).toInt() : 0;
}

} // namespace

namespace TrayPresence {

bool statusNotifierHost()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcher).value())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({kWatcher, QStringLiteral("IsStatusNotifierHostRegistered")});
    const QDBusMessage reply = bus.call(get, QDBus::Block, kAskMs);
    return reply.type() == QDBusMessage::ReplyMessage &&
           qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant().toBool();
}

bool xembedTray()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return owned;
}

} // namespace TrayPresence
