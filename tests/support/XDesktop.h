#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QProcess;
struct xcb_connection_t;

// A desktop of its own: Xvfb on a free display and, when asked, a tray host
// (trayer) owning the system-tray selection. Both die with the object.
class XDesktop
{
public:
    ~XDesktop();

    // Returns once the tray host owns _NET_SYSTEM_TRAY_S0; on failure *error says why.
    bool start(bool withTray, QString* error);
    bool startTrayHost(QString* error); // on a running server, as a panel that comes late
    // A window manager (openbox) that manages the focus, as a desktop does.
    bool startWindowManager(QString* error);
    QString display() const { return m_display; }

    // Viewable windows whose WM_CLASS instance is className: docked, or top-level.
    QList<quint32> trayIcons(const QString& className) const;
    QList<quint32> topLevelWindows(const QString& className) const;
    QList<quint32> windowsTitled(const QString& title) const; // top-level
    // Viewable program windows with that title, also inside a window manager's frames.
    QList<quint32> clientsTitled(const QString& title) const;
    // The close box's request (WM_DELETE_WINDOW), as a window manager sends it.
    bool requestClose(quint32 window) const;
    QList<quint32> grab(quint32 window) const; // 0xffRRGGBB row by row, empty when unreadable
    quint32 focusedWindow() const;

    // Input through XTEST (xdotool).
    bool click(quint32 window, int button, int repeat = 1) const;
    bool keys(const QStringList& keys) const;

private:
    QProcess* newProcess(std::unique_ptr<QProcess>& slot) const;
    bool xdotool(const QStringList& args) const;
    QList<quint32> topLevel(const std::function<bool(quint32)>& wanted) const;

    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_tray;
    std::unique_ptr<QProcess> m_windowManager;
    xcb_connection_t* m_conn = nullptr;
    quint32 m_root = 0;
    QString m_display;
};
