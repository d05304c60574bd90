// BringToFront: restored, shown, topmost only when asked, never moved.
#include "WindowFront.h"

#include <QWidget>
#include <QtTest>

class TestWindowFront : public QObject
{
    Q_OBJECT
private slots:
    void restoresAndSetsTheTopmostState_data()
    {
        QTest::addColumn<bool>("wasOnTop");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<bool>("keepOnTop");
        QTest::newRow("minimized, kept on top") << false << true << true;
        QTest::newRow("minimized, not kept") << false << true << false;
        QTest::newRow("topmost before, not kept") << true << false << false;
    }
    void restoresAndSetsTheTopmostState()
    {
        QFETCH(bool, wasOnTop);
        QFETCH(bool, minimized);
        QFETCH(bool, keepOnTop);
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

    void showsAWindowNeverShownBefore()
    {
        QWidget window;
        BringToFront(&window, true);
        QVERIFY(window.isVisible());
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
};

QTEST_MAIN(TestWindowFront)
#include "tst_alert_windowfront.moc"
