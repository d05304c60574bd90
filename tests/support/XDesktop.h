#pragma once

#include <QList>
#include <QString>

#include <memory>

class QProcess;
struct xcb_connection_t;

// A desktop of its own for end-to-end tests: an Xvfb server on a free display
// and, when asked, a tray host (trayer) that owns the system-tray selection.
// Both are killed when the object goes.
class XDesktop
{
public:
    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // Starts the X server, and the tray host when withTray; returns once the
    // tray host owns _NET_SYSTEM_TRAY_S0. On failure *error says why.
    bool start(bool withTray, QString* error);
    // Starts the tray host on a running server (a panel that comes up late).
    bool startTrayHost(QString* error);
    QString display() const { return m_display; } // ":N"

    // Viewable windows of programs whose WM_CLASS instance is className:
    // docked in the tray host, or shown at the top level.
    QList<quint32> trayIcons(const QString& className) const;
    QList<quint32> topLevelWindows(const QString& className) const;
    // Viewable top-level windows whose title is exactly the text.
    QList<quint32> windowsTitled(const QString& title) const;
    // The window's pixels as 0xffRRGGBB, row by row (empty when unreadable).
    QList<quint32> grab(quint32 window) const;
    // The window that has the keyboard focus (0 when none).
    quint32 focusedWindow() const;

    // Input through the XTEST extension (xdotool).
    bool click(quint32 window, int button, int repeat = 1) const;
    bool keys(const QStringList& keys) const;

private:
    QProcess* newProcess(std::unique_ptr<QProcess>& slot) const;
    bool xdotool(const QStringList& args) const;

    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_tray;
    xcb_connection_t* m_conn = nullptr;
    quint32 m_root = 0;
    QString m_display;
};
