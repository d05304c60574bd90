// The synthesized alert tones: what AlertBeep hands to the audio output.
#include "Beep.h"

#include <QApplication>
#include <QtTest>

#include <cstdlib>

namespace {

QVector<qint16> samplesOf(const QByteArray& bytes)
{
    QVector<qint16> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.constData(), size_t(out.size()) * 2);
    return out;
}

// Sign changes of a stretch; exact zeros keep the previous sign.
int zeroCrossings(const QVector<qint16>& s, int from, int count)
{
    int crossings = 0;
    int sign = 0;
    for (int i = from; i < from + count; ++i) {
        const int now = s[i] > 0 ? 1 : s[i] < 0 ? -1 : sign;
        if (sign != 0 && now != sign)
            ++crossings;
        sign = now;
    }
    return crossings;
}

int peak(const QVector<qint16>& s, int from, int count)
{
    int max = 0;
    for (int i = from; i < from + count; ++i)
        max = std::max(max, std::abs(int(s[i])));
    return max;
}

} // namespace

class TestAlertBeep : public QObject
{
    Q_OBJECT
private slots:
    void twoTonesOfATenthOfASecond_data()
    {
        QTest::addColumn<int>("rate");
        QTest::newRow("8 kHz") << 8000;
        QTest::newRow("48 kHz") << 48000;
    }
    void twoTonesOfATenthOfASecond()
    {
        QFETCH(int, rate);
        const QVector<qint16> s = samplesOf(alertBeepSamples(rate));
        const int tone = rate / 10;
        QCOMPARE(s.size(), 2 * tone);

        // A tone of f Hz crosses zero 2f times a second: 600 and 500 in 100 ms.
        const int first = zeroCrossings(s, 0, tone);
        const int second = zeroCrossings(s, tone, tone);
        QVERIFY2(std::abs(first - 600) <= 6, qPrintable(QString::number(first)));
        QVERIFY2(std::abs(second - 500) <= 5, qPrintable(QString::number(second)));

        // Both tones clearly audible, neither clipped at full scale.
        for (int from : {0, tone}) {
            const int p = peak(s, from, tone);
            QVERIFY2(p > 32767 / 4 && p < 32767, qPrintable(QString::number(p)));
        }
    }
};

QTEST_MAIN(TestAlertBeep)
#include "tst_alert_beep.moc"
