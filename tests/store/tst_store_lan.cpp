#include "Failure.h"
#include "Ini.h"
#include "LanSettings.h"
#include "SysInfo.h"
#include "TempProgramDir.h"

#include <QTest>

// Every load starts from values no load would produce, to see which steps
// a failed load reached.
class TestStoreLan : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        SysInfo::setComputerNameOverride(QStringLiteral("ACCOUNTING-PC-07"));
        LANNick = QStringLiteral("before");
        LANPort = 1;
        LANOptSend = false;
        LANOptReceive = false;
    }
    void cleanup() { SysInfo::setComputerNameOverride(QString()); }

    void withoutSettingsFileEverythingHasItsDefault()
    {
        TempProgramDir dir;
        LoadLANSettings();
        QCOMPARE(LANNick, QString("ACCOUNTIN"));
        QCOMPARE(LANPort, short(217));
        QVERIFY(LANOptSend && LANOptReceive);
    }

    void loadConvertsEachKeyInTurn_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("optSend");
        QTest::addColumn<QString>("optReceive");
        // The port and the two switches afterwards; a failed load leaves the
        // later ones as they were (port 1, switches off).
        QTest::addColumn<int>("expectedPort");
        QTest::addColumn<QString>("expectedSwitches");
        QTest::addColumn<bool>("fails");
        QTest::newRow("leading zero") << "0217"
                                      << "1"
                                      << "1" << 217 << "11" << false;
        QTest::newRow("send off") << "5000"
                                  << "0"
                                  << "1" << 5000 << "01" << false;
        QTest::newRow("words and numbers") << "217"
                                           << "False"
                                           << "-1" << 217 << "01" << false;
        QTest::newRow("port not a number") << "abc"
                                           << "1"
                                           << "1" << 1 << "00" << true;
        QTest::newRow("port beyond 16 bits") << "40000"
                                             << "1"
                                             << "1" << 1 << "00" << true;
        QTest::newRow("send a word") << "217"
                                     << "yes"
                                     << "1" << 217 << "00" << true;
        QTest::newRow("receive a word") << "217"
                                        << "1"
                                        << "on" << 217 << "10" << true;
    }

    void loadConvertsEachKeyInTurn()
    {
        QFETCH(QString, port);
        QFETCH(QString, optSend);
        QFETCH(QString, optReceive);
        QFETCH(int, expectedPort);
        QFETCH(QString, expectedSwitches);
        QFETCH(bool, fails);
        TempProgramDir dir;
        const QString section = QStringLiteral("LAN_Settings");
        QVERIFY(WriteIni(section, "Nick", "דנה"));
        QVERIFY(WriteIni(section, "Port", port));
        QVERIFY(WriteIni(section, "OptSend", optSend));
        QVERIFY(WriteIni(section, "OptReceive", optReceive));
        bool failed = false;
        try {
            LoadLANSettings();
        } catch (const Failure&) {
            failed = true;
        }
        QCOMPARE(failed, fails);
        QCOMPARE(LANNick, QString("דנה"));
        QCOMPARE(LANPort, short(expectedPort));
        QCOMPARE(QString::number(LANOptSend) + QString::number(LANOptReceive), expectedSwitches);
    }
};

QTEST_GUILESS_MAIN(TestStoreLan)
#include "tst_store_lan.moc"
