#include "common/Log.h"
#include "platform/Clock.h"
#include "platform/SysInfo.h"
#include "store/Colleagues.h"
#include "store/LanSettings.h"
#include "store/ReminderDb.h"
#include "store/ShareDates.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <QTest>

// The LAN settings in memory and the colleagues seen on the LAN.
class TestStoreLan : public QObject
{
    Q_OBJECT

private slots:
    // A bad value falls back to its default with one log line naming its key.
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

    // One row a nickname, at its last address; only those seen in the last days count; the
    // ones seen longest ago make room for the newest.
    void colleaguesSeenAreRecentAndBounded()
    {
        TempProgramDir dir;
        const Date now = Date::fromParts(2026, 12, 1, 9, 0);
        auto db = OpenReminderDb();
        const auto seen = [&](const QString& nick, const QString& address, const Date& at) {
            Clock::setNow(at);
            NoteColleagueSeen(*db, nick, address);
        };
        seen("away", "10.0.0.1", now.addDays(-kShareMemoryDays - 1));
        seen("gamma", "10.0.0.2", now.addDays(-1));
        seen("gamma", "10.0.0.3", now);
        QCOMPARE(ColleaguesSeen(*db), QStringList{"gamma"});
        QCOMPARE(db->scalar("SELECT Address FROM Colleagues_tbl WHERE Nick = 'gamma'").toString(),
                 QString("10.0.0.3"));
        Transaction many(*db);
        for (int i = 0; i < kMaxColleagues; ++i)
            seen(QString("n%1").arg(i, 4, 10, QChar('0')), "10.0.0.4", now.addSeconds(1 + i));
        many.commit();
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Colleagues_tbl").toInt(), kMaxColleagues);
        QCOMPARE(ColleaguesSeen(*db).first(), QString("n0000"));
        Clock::useSystemClock();
    }
};

QTEST_GUILESS_MAIN(TestStoreLan)
#include "tst_store_lan.moc"
