// The desktop layers an alert stands on: the synthesized alert tone, what AlertBeep hands to
// the audio output; BringToFront: restored, shown, topmost only when asked, never moved.
#include "platform/ui/Beep.h"
#include "platform/ui/WindowFront.h"

#include <QWidget>
#include <QtTest>

#include <cstdlib>

class TestAlertDesktop : public QObject
{
    Q_OBJECT
private slots:
    // 600 Hz then 500 Hz, a tenth of a second each, audible and not clipped.
    void twoTonesOfATenthOfASecond()
    {
        for (int rate : {8000, 48000}) {
            const QByteArray bytes = alertBeepSamples(rate);
            QVector<qint16> s(bytes.size() / 2);
            std::memcpy(s.data(), bytes.constData(), size_t(s.size()) * 2);
            const int tone = rate / 10;
            QCOMPARE(s.size(), 2 * tone);
            // A tone of f Hz crosses zero 2f times a second.
            for (const auto& [from, crossings] : {std::pair{0, 600}, std::pair{tone, 500}}) {
                int counted = 0, sign = 0, peak = 0;
                for (int i = from; i < from + tone; ++i) {
                    const int now = s[i] > 0 ? 1 : s[i] < 0 ? -1 : sign; // a zero keeps the sign
                    counted += sign != 0 && now != sign;
                    sign = now;
                    peak = std::max(peak, std::abs(int(s[i])));
                }
                QVERIFY2(peak > 32767 / 4, qPrintable(QString::number(peak)));
                QVERIFY2(peak < 32767, qPrintable(QString::number(peak)));
                QVERIFY2(std::abs(counted - crossings) <= crossings / 100,
                         qPrintable(QString::number(counted)));
            }
        }
    }

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

QTEST_MAIN(TestAlertDesktop)
#include "tst_alert_desktop.moc"
