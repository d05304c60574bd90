#include "common/Log.h"
#include "platform/SysInfo.h"
#include "store/LanSettings.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <QTest>

// A bad value falls back to its default with one log line naming its key.
class TestStoreLan : public QObject
{
    Q_OBJECT

private slots:
    void loadTakesGoodValuesAndDefaultsTheRest()
    {
        SysInfo::setComputerNameOverride(QStringLiteral("ACCOUNTING-PC-07"));
        // ini lines; nick, port, send, receive and log lines after loading
        const QList<std::tuple<QByteArray, QString, int, bool, bool, int>> cases = {
            {"", "ACCOUNTIN", 217, true, true, 0},
            {"Nick=דנה\nPort=065535\nOptSend=False\nOptReceive=-1\n", "דנה", 65535, false, true, 0},
            {"Port=65536\nOptSend=on\nOptReceive=off\n", "ACCOUNTIN", 217, true, true, 3},
            {"Port=0\n", "ACCOUNTIN", 217, true, true, 1},
            {"Port=x217\n", "ACCOUNTIN", 217, true, true, 1}};
        for (const auto& [ini, nick, port, send, receive, logged] : cases) {
            TempProgramDir dir;
            StartLogging(QStringLiteral("Kalvex.log"));
            writeBytes(dir.file("Kalvex.ini"), "[LAN_Settings]\n" + ini);
            LANNick = "before", LANPort = 1, LANOptSend = !send, LANOptReceive = !receive;
            LoadLANSettings();
            QCOMPARE(std::tuple(LANNick, int(LANPort), LANOptSend, LANOptReceive),
                     std::tuple(nick, port, send, receive));
            QCOMPARE(fileBytes(dir.file("Kalvex.log")).count(" -> LoadLANSettings: "), logged);
        }
        SysInfo::setComputerNameOverride(QString());
    }
};

QTEST_GUILESS_MAIN(TestStoreLan)
#include "tst_store_lan.moc"
