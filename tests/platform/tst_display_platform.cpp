// Which Qt platform Kalvex's windows use, by the session's environment.
#include "DisplayPlatform.h"

#include <QtTest>

class TestDisplayPlatform : public QObject
{
    Q_OBJECT
private slots:
    void xwaylandWhereverTheSessionHasIt_data()
    {
        QTest::addColumn<QStringList>("env"); // NAME=value
        QTest::addColumn<QString>("platform");
        QTest::newRow("Wayland with XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << "xcb";
        QTest::newRow("Wayland without XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"} << "";
        QTest::newRow("the user's choice stands")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}
            << "";
    }
    void xwaylandWhereverTheSessionHasIt()
    {
        QFETCH(QStringList, env);
        QFETCH(QString, platform);
        QProcessEnvironment e;
        for (const QString& pair : env)
            e.insert(pair.section('=', 0, 0), pair.section('=', 1));
        QCOMPARE(DisplayPlatform::forAlerts(e), platform);
    }
};

QTEST_GUILESS_MAIN(TestDisplayPlatform)
#include "tst_display_platform.moc"
