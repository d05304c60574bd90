// Which Qt platform Kalvex's windows use, by the session's environment:
// XWayland wherever the session has it, unless the user chose otherwise.
#include "DisplayPlatform.h"

#include <QtTest>

class TestDisplayPlatform : public QObject
{
    Q_OBJECT
private slots:
    void xwaylandWhereverTheSessionHasIt()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}, "xcb"},
            {{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"}, ""},
            {{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}, ""}};
        for (const auto& [env, platform] : cases) {
            QProcessEnvironment e;
            for (const QString& pair : env)
                e.insert(pair.section('=', 0, 0), pair.section('=', 1));
            QCOMPARE(DisplayPlatform::forAlerts(e), platform);
        }
    }
};

QTEST_GUILESS_MAIN(TestDisplayPlatform)
#include "tst_display_platform.moc"
