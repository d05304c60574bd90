#include "tests/support/XDesktop.h"
#include "tests/support/E2eSession.h"

#include <QProcess>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>

namespace {

// A reply of the X server, freed with its holder.
template <typename Reply> std::unique_ptr<Reply, void (*)(void*)> owned(Reply* reply)
{
    return {reply, std::free};
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const auto r = owned(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray property(xcb_connection_t* c, xcb_window_t w, const char* name)
{
    const auto r = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom(c, name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr));
    return r ? QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())),
                          xcb_get_property_value_length(r.get()))
             : QByteArray();
}

QString classInstance(xcb_connection_t* c, xcb_window_t w)
{
    const QByteArray wmClass = property(c, w, "WM_CLASS");
    return QString::fromUtf8(wmClass.left(wmClass.indexOf('\0')));
}

QString title(xcb_connection_t* c, xcb_window_t w)
{
    const QByteArray net = property(c, w, "_NET_WM_NAME");
    return QString::fromUtf8(net.isEmpty() ? property(c, w, "WM_NAME") : net);
}

// The viewable windows below w: its children, and all theirs too when deep.
QList<quint32> viewableBelow(xcb_connection_t* c, xcb_window_t w, bool deep)
{
    QList<quint32> found;
    const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
    const xcb_window_t* kids = tree ? xcb_query_tree_children(tree.get()) : nullptr;
    for (int i = 0; kids && i < xcb_query_tree_children_length(tree.get()); ++i) {
        const auto a = owned(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, kids[i]), nullptr));
        if (a && a->map_state == XCB_MAP_STATE_VIEWABLE)
            found << kids[i] << (deep ? viewableBelow(c, kids[i], true) : QList<quint32>());
    }
    return found;
}

} // namespace

XDesktop::~XDesktop()
{
    for (QProcess* p : {m_windowManager.get(), m_tray.get(), m_server.get()})
        if (p)
            p->kill(), p->waitForFinished(3000);
    if (m_conn)
        xcb_disconnect(m_conn);
}

// Dies with the test, even when it crashes.
QProcess* XDesktop::newProcess(std::unique_ptr<QProcess>& slot) const
{
    slot = std::make_unique<QProcess>();
    slot->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.remove("WAYLAND_DISPLAY");
    slot->setProcessEnvironment(env);
    return slot.get();
}

bool XDesktop::start(bool withTray, QString* error)
{
    newProcess(m_server)->start(
        "Xvfb", QString("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset").split(' '));
    while (!m_server->canReadLine() && m_server->waitForReadyRead(15000)) {
    }
    m_display = ':' + QString::fromLatin1(m_server->readLine().trimmed());
    m_conn = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (m_display == ":" || xcb_connection_has_error(m_conn)) {
        *error =
            "Xvfb did not come up: " + QString::fromLocal8Bit(m_server->readAllStandardError());
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    return !withTray || startTrayHost(error);
}

bool XDesktop::startTrayHost(QString* error)
{
    newProcess(m_tray)->start("trayer", QString("--edge bottom --align right --widthtype pixel "
                                                "--width 200 --heighttype pixel --height 24")
                                            .split(' '));
    const auto taken = [this] {
        const auto r = owned(xcb_get_selection_owner_reply(
            m_conn, xcb_get_selection_owner(m_conn, atom(m_conn, "_NET_SYSTEM_TRAY_S0")), nullptr));
        return r && r->owner != XCB_WINDOW_NONE;
    };
    if (!E2eSession::waitFor(taken, 15000))
        *error = "trayer did not take the system-tray selection";
    return taken();
}

bool XDesktop::startWindowManager(QString* error)
{
    newProcess(m_windowManager)->start("openbox", {"--sm-disable"});
    const auto managed = [this] {
        return !property(m_conn, m_root, "_NET_SUPPORTING_WM_CHECK").isEmpty();
    };
    if (!E2eSession::waitFor(managed, 15000))
        *error = "openbox did not come up";
    return managed();
}

QList<quint32> XDesktop::clientsTitled(const QString& text) const
{
    QList<quint32> found = viewableBelow(m_conn, m_root, true);
    found.removeIf([&](quint32 w) { return title(m_conn, w) != text; });
    return found;
}

bool XDesktop::requestClose(quint32 window) const
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(m_conn, "WM_PROTOCOLS");
    message.data.data32[0] = atom(m_conn, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_conn, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    return xcb_flush(m_conn) > 0;
}

QList<quint32> XDesktop::trayIcons(const QString& className) const
{
    const QList<quint32> topLevel = viewableBelow(m_conn, m_root, false);
    QList<quint32> found = viewableBelow(m_conn, m_root, true);
    found.removeIf(
        [&](quint32 w) { return topLevel.contains(w) || classInstance(m_conn, w) != className; });
    return found;
}

QList<quint32> XDesktop::topLevel(const std::function<bool(quint32)>& wanted) const
{
    QList<quint32> found = viewableBelow(m_conn, m_root, false);
    found.removeIf([&](quint32 w) { return !wanted(w); });
    return found;
}

QList<quint32> XDesktop::topLevelWindows(const QString& className) const
{
    return topLevel([&](quint32 w) { return classInstance(m_conn, w) == className; });
}

QList<quint32> XDesktop::windowsTitled(const QString& text) const
{
    return topLevel([&](quint32 w) { return title(m_conn, w) == text; });
}

// At 24 or 32 bits of depth the server sends 32 bits a pixel.
QList<quint32> XDesktop::grab(quint32 window) const
{
    const auto g = owned(xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, window), nullptr));
    if (!g)
        return {};
    const int size = g->width * g->height;
    const auto image = owned(xcb_get_image_reply(
        m_conn,
        xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, g->width, g->height, ~0u),
        nullptr));
    if (!image || xcb_get_image_data_length(image.get()) != size * 4)
        return {};
    const auto* data = reinterpret_cast<const quint32*>(xcb_get_image_data(image.get()));
    QList<quint32> pixels(data, data + size);
    for (quint32& p : pixels)
        p |= 0xff000000u;
    return pixels;
}

quint32 XDesktop::focusedWindow() const
{
    const auto r = owned(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    return r ? r->focus : 0;
}

bool XDesktop::click(quint32 window, int button, int repeat) const
{
    return xdotool({"mousemove", "--window", QString::number(window), "8", "8", "click", "--repeat",
                    QString::number(repeat), "--delay", "80", QString::number(button)});
}

bool XDesktop::keys(const QStringList& keys) const
{
    return xdotool(QStringList{"key", "--delay", "50"} + keys);
}

bool XDesktop::xdotool(const QStringList& args) const
{
    std::unique_ptr<QProcess> p;
    newProcess(p)->start("xdotool", args);
    return p->waitForFinished(10000) && p->exitStatus() == QProcess::NormalExit &&
           p->exitCode() == 0;
}
