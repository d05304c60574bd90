// BringToFront: restored, shown, topmost only when asked, never moved.
#include "platform/ui/WindowFront.h"

#include <QWidget>
#include <QtTest>

class TestWindowFront : public QObject
{
    Q_OBJECT
private slots:
    void restoresAndSetsTheTopmostState()
    {
        const bool cases[][3] = {{false, true, true},
                                 {true, false, false}}; // on top, minimized, kept
        for (const auto& [wasOnTop, minimized, keepOnTop] : cases) {
            QWidget window;
            window.setWindowFlag(Qt::WindowStaysOnTopHint, wasOnTop);
            window.setGeometry(130, 140, 320, 200);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const QRect before = window.geometry();
            if (minimized)
                window.setWindowState(Qt::WindowMinimized);
            BringToFront(&window, keepOnTop);
            QVERIFY(window.isVisible());
            QVERIFY(!window.isMinimized());
            QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), keepOnTop);
            QCOMPARE(window.geometry(), before);
        }
    }
};

QTEST_MAIN(TestWindowFront)
#include "tst_alert_windowfront.moc"
