#include "XDesktop.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 15000;

template <typename Reply> struct Freed
{
    Reply* p;
    ~Freed() { std::free(p); }
    Reply* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    Freed<xcb_intern_atom_reply_t> r{
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr)};
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop)
{
    Freed<xcb_get_property_reply_t> r{xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr)};
    if (!r)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(r.p)),
                      xcb_get_property_value_length(r.p));
}

QString classInstance(xcb_connection_t* c, xcb_window_t w)
{
    const QByteArray wmClass = property(c, w, XCB_ATOM_WM_CLASS);
    return QString::fromUtf8(wmClass.left(wmClass.indexOf('\0')));
}

QString title(xcb_connection_t* c, xcb_window_t w)
{
    const QByteArray net = property(c, w, atom(c, "_NET_WM_NAME"));
    return QString::fromUtf8(net.isEmpty() ? property(c, w, XCB_ATOM_WM_NAME) : net);
}

bool viewable(xcb_connection_t* c, xcb_window_t w)
{
    Freed<xcb_get_window_attributes_reply_t> r{
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr)};
    return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
}

QList<xcb_window_t> children(xcb_connection_t* c, xcb_window_t w)
{
    if (!c)
        return {};
    Freed<xcb_query_tree_reply_t> r{xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr)};
    if (!r)
        return {};
    const xcb_window_t* kids = xcb_query_tree_children(r.p);
    return QList<xcb_window_t>(kids, kids + xcb_query_tree_children_length(r.p));
}

void collectDescendants(xcb_connection_t* c, xcb_window_t w, QList<xcb_window_t>* out)
{
    for (xcb_window_t child : children(c, w)) {
        out->append(child);
        collectDescendants(c, child, out);
    }
}

void stop(std::unique_ptr<QProcess>& process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
}

} // namespace

XDesktop::XDesktop() = default;

XDesktop::~XDesktop()
{
    stop(m_tray);
    if (m_conn)
        xcb_disconnect(m_conn);
    stop(m_server);
}

// The server, the tray host and xdotool run on this desktop and die with the
// test, even when it crashes.
QProcess* XDesktop::newProcess(std::unique_ptr<QProcess>& slot) const
{
    slot = std::make_unique<QProcess>();
    slot->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    slot->setProcessEnvironment(env);
    slot->setStandardOutputFile(QProcess::nullDevice());
    return slot.get();
}

bool XDesktop::start(bool withTray, QString* error)
{
    QString ignored;
    QString* why = error ? error : &ignored;
    return startServer(why) && (!withTray || startTrayHost(why));
}

// Xvfb picks a free display itself and writes its number to the -displayfd pipe.
bool XDesktop::startServer(QString* error)
{
    int fds[2];
    if (::pipe(fds) != 0) {
        *error = QStringLiteral("pipe failed");
        return false;
    }
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    newProcess(m_server)->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server->start(QStringLiteral("Xvfb"),
                    QStringList{"-displayfd", QString::number(fds[1])} +
                        QString("-screen 0 1024x768x24 -nolisten tcp -noreset").split(' '));
    ::close(fds[1]);
    QByteArray number;
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!number.endsWith('\n') && !deadline.hasExpired()) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (::poll(&pfd, 1, int(qMax<qint64>(1, deadline.remainingTime()))) <= 0)
            break;
        char buf[16];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        number.append(buf, n);
    }
    ::close(fds[0]);
    if (!number.endsWith('\n')) {
        *error = QStringLiteral("Xvfb did not report a display");
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    int screen = 0;
    m_conn = xcb_connect(m_display.toLatin1().constData(), &screen);
    if (xcb_connection_has_error(m_conn)) {
        *error = QStringLiteral("cannot connect to ") + m_display;
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    return true;
}

bool XDesktop::startTrayHost(QString* error)
{
    newProcess(m_tray)->setStandardErrorFile(QProcess::nullDevice());
    m_tray->start(QStringLiteral("trayer"), QString("--edge bottom --align right --widthtype pixel "
                                                    "--width 200 --heighttype pixel --height 24")
                                                .split(' '));
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!trayOwned()) {
        if (deadline.hasExpired() || m_tray->state() == QProcess::NotRunning) {
            *error = QStringLiteral("trayer did not take the system-tray selection");
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

bool XDesktop::trayOwned() const
{
    if (!m_conn)
        return false;
    Freed<xcb_get_selection_owner_reply_t> r{xcb_get_selection_owner_reply(
        m_conn, xcb_get_selection_owner(m_conn, atom(m_conn, "_NET_SYSTEM_TRAY_S0")), nullptr)};
    return r && r->owner != XCB_WINDOW_NONE;
}

QList<quint32> XDesktop::trayIcons(const QString& className) const
{
    if (!m_conn)
        return {};
    const QList<xcb_window_t> topLevel = children(m_conn, m_root);
    QList<xcb_window_t> all;
    collectDescendants(m_conn, m_root, &all);
    return viewableAmong(all, [&](xcb_window_t w) {
        return !topLevel.contains(w) && classInstance(m_conn, w) == className;
    });
}

QList<quint32> XDesktop::topLevelWindows(const QString& className) const
{
    return viewableAmong(children(m_conn, m_root),
                         [&](xcb_window_t w) { return classInstance(m_conn, w) == className; });
}

QList<quint32> XDesktop::windowsTitled(const QString& text) const
{
    return viewableAmong(children(m_conn, m_root),
                         [&](xcb_window_t w) { return title(m_conn, w) == text; });
}

QList<quint32> XDesktop::viewableAmong(const QList<quint32>& windows,
                                       const std::function<bool(quint32)>& wanted) const
{
    QList<quint32> found;
    for (quint32 w : windows)
        if (viewable(m_conn, w) && wanted(w))
            found.append(w);
    return found;
}

WindowPixels XDesktop::grab(quint32 window) const
{
    if (!m_conn)
        return {};
    Freed<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, window), nullptr)};
    if (!geometry)
        return {};
    Freed<xcb_get_image_reply_t> image{
        xcb_get_image_reply(m_conn,
                            xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          geometry->width, geometry->height, ~0u),
                            nullptr)};
    const int bytes = image ? xcb_get_image_data_length(image.p) : 0;
    if (bytes != geometry->width * geometry->height * 4) // 24/32-bit depth, 32 bits a pixel
        return {};
    WindowPixels pixels{geometry->width, geometry->height, {}};
    const auto* data = reinterpret_cast<const quint32*>(xcb_get_image_data(image.p));
    for (int i = 0; i < geometry->width * geometry->height; ++i)
        pixels.argb.append(data[i] | 0xff000000u);
    return pixels;
}

quint32 XDesktop::focusedWindow() const
{
    if (!m_conn)
        return 0;
    Freed<xcb_get_input_focus_reply_t> r{
        xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr)};
    return r ? r->focus : 0;
}

bool XDesktop::click(quint32 window, int button, int repeat) const
{
    return xdotool(QString("mousemove --window %1 8 8 click --repeat %2 --delay 80 %3")
                       .arg(window)
                       .arg(repeat)
                       .arg(button)
                       .split(' '));
}

bool XDesktop::keys(const QStringList& keys) const
{
    return xdotool(QStringList{"key", "--delay", "50"} + keys);
}

bool XDesktop::xdotool(const QStringList& args) const
{
    std::unique_ptr<QProcess> p;
    newProcess(p)->start(QStringLiteral("xdotool"), args);
    return p->waitForFinished(10000) && p->exitStatus() == QProcess::NormalExit &&
           p->exitCode() == 0;
}
