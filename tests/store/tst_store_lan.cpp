#include "Ini.h"
#include "LanSettings.h"
#include "Log.h"
#include "SysInfo.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTest>

// Every load starts from values no load would produce, to see that each
// step set its value.
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
        QCOMPARE(int(LANPort), 217);
        QVERIFY(LANOptSend && LANOptReceive);
    }

    void badValuesFallBackToTheirDefault_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("optSend");
        QTest::addColumn<QString>("optReceive");
        QTest::addColumn<int>("expectedPort");
        QTest::addColumn<QString>("expectedSwitches");
        QTest::addColumn<QStringList>("loggedKeys");
        // clang-format off
        QTest::newRow("leading zero, highest port") << "065535" << "1" << "1" << 65535 << "11" << QStringList();
        QTest::newRow("words and numbers") << "217" << "False" << "-1" << 217 << "01" << QStringList();
        QTest::newRow("port 0") << "0" << "0" << "1" << 217 << "01" << QStringList{"Port"};
        QTest::newRow("beyond any port") << "65536" << "1" << "1" << 217 << "11" << QStringList{"Port"};
        QTest::newRow("all bad") << "x" << "on" << "off" << 217 << "11" << QStringList{"Port", "OptSend", "OptReceive"};
        // clang-format on
    }

    void badValuesFallBackToTheirDefault()
    {
        QFETCH(QString, port);
        QFETCH(QString, optSend);
        QFETCH(QString, optReceive);
        QFETCH(int, expectedPort);
        QFETCH(QString, expectedSwitches);
        QFETCH(QStringList, loggedKeys);
        TempProgramDir dir;
        StartLogging(QStringLiteral("Kalvex.log"));
        writeBytes(dir.file("Kalvex.ini"),
                   QString("[LAN_Settings]\nNick=דנה\nPort=%1\nOptSend=%2\nOptReceive=%3\n")
                       .arg(port, optSend, optReceive)
                       .toUtf8());
        LoadLANSettings();
        QCOMPARE(LANNick, QString("דנה"));
        QCOMPARE(int(LANPort), expectedPort);
        QCOMPARE(QString::number(LANOptSend) + QString::number(LANOptReceive), expectedSwitches);

        // One line per bad value, naming its key.
        QStringList logged;
        static const QRegularExpression entry(QStringLiteral(" -> LoadLANSettings: (\\w+)="));
        for (auto it = entry.globalMatch(QString::fromUtf8(fileBytes(dir.file("Kalvex.log"))));
             it.hasNext();)
            logged << it.next().captured(1);
        QCOMPARE(logged, loggedKeys);
    }
};

QTEST_GUILESS_MAIN(TestStoreLan)
#include "tst_store_lan.moc"
