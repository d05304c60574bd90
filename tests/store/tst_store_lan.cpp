#include "Failure.h"
#include "Ini.h"
#include "LanSettings.h"
#include "SysInfo.h"
#include "TempProgramDir.h"

#include <QTest>

namespace {

const QString kSection = QStringLiteral("LAN_Settings");

// Values that no load would produce, to see which steps a failed load reached.
void setSentinels()
{
    LANNick = QStringLiteral("before");
    LANPort = 1;
    LANOptSend = false;
    LANOptReceive = false;
}

} // namespace

class TestStoreLan : public QObject
{
    Q_OBJECT

private slots:
    void init() { SysInfo::setComputerNameOverride(QStringLiteral("ACCOUNTING-PC-07")); }
    void cleanup() { SysInfo::setComputerNameOverride(QString()); }

    void withoutSettingsFileEverythingHasItsDefault()
    {
        TempProgramDir dir;
        setSentinels();
        LoadLANSettings();
        QCOMPARE(LANNick, QString("ACCOUNTIN"));
        QCOMPARE(LANPort, short(217));
        QVERIFY(LANOptSend);
        QVERIFY(LANOptReceive);
    }

    void loadReadsAndConvertsEachKey_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("optSend");
        QTest::addColumn<QString>("optReceive");
        // Expected: the port (0: the load fails there) and the two switches
        // as they stand afterwards ("-": untouched by a failed load).
        QTest::addColumn<int>("expectedPort");
        QTest::addColumn<QString>("expectedSwitches");
        QTest::newRow("leading zero") << "0217"
                                      << "1"
                                      << "1" << 217 << "11";
        QTest::newRow("send off") << "5000"
                                  << "0"
                                  << "1" << 5000 << "01";
        QTest::newRow("words") << "217"
                               << "False"
                               << "true" << 217 << "01";
        QTest::newRow("any nonzero number") << "217"
                                            << "-1"
                                            << "2" << 217 << "11";
        QTest::newRow("port not a number") << "abc"
                                           << "1"
                                           << "1" << 0 << "--";
        QTest::newRow("port beyond 16 bits") << "40000"
                                             << "1"
                                             << "1" << 0 << "--";
        QTest::newRow("send a word") << "217"
                                     << "yes"
                                     << "1" << 217 << "--";
        QTest::newRow("receive a word") << "217"
                                        << "1"
                                        << "on" << 217 << "1-";
    }

    // A value that does not convert fails the load at its own step: the
    // steps before it keep their new values, the later ones their old.
    void loadReadsAndConvertsEachKey()
    {
        QFETCH(QString, port);
        QFETCH(QString, optSend);
        QFETCH(QString, optReceive);
        QFETCH(int, expectedPort);
        QFETCH(QString, expectedSwitches);
        TempProgramDir dir;
        QVERIFY(WriteIni(kSection, "Nick", "דנה"));
        QVERIFY(WriteIni(kSection, "Port", port));
        QVERIFY(WriteIni(kSection, "OptSend", optSend));
        QVERIFY(WriteIni(kSection, "OptReceive", optReceive));
        setSentinels();

        const bool shouldFail = expectedPort == 0 || expectedSwitches.contains('-');
        bool failed = false;
        try {
            LoadLANSettings();
        } catch (const Failure&) {
            failed = true;
        }
        QCOMPARE(failed, shouldFail);
        QCOMPARE(LANNick, QString("דנה"));
        QCOMPARE(LANPort, short(expectedPort == 0 ? 1 : expectedPort));
        const auto state = [](bool value) { return value ? QChar('1') : QChar('0'); };
        const QString switches = QString(expectedSwitches).replace('-', '0');
        QCOMPARE(QString(state(LANOptSend)) + state(LANOptReceive), switches);
    }
};

QTEST_GUILESS_MAIN(TestStoreLan)
#include "tst_store_lan.moc"
