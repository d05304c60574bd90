#include "LanPeer.h"
#include "ReminderRows.h"

#include "Database.h"
#include "Ini.h"
#include "LanFormat.h"
#include "LanSend.h"
#include "LanText.h"
#include "ProcessLANMsg.h"
#include "RUpdateRec.h"
#include "Reminder.h"

#include <QTest>

// Datagrams written out by hand from the format, in Windows-1255 bytes:
// what a peer of the Windows release sends us, and what we send.
namespace {

const QByteArray kCaption = "\xF4\xE2\xE9\xF9\xE4"; // "פגישה"
const QByteArray kAuthor = "\xE3\xF0\xE4";          // "דנה"

// An advanced weekly update (Sunday and Tuesday, every 2 weeks) from 127.0.0.2.
QByteArray peerUpdate(const QByteArray& recipients = "ALL", const QByteArray& id = "123456",
                      const QByteArray& caption = kCaption)
{
    return "127.0.0.2\tUPD\t" + recipients + "\t" + id + "\t" + caption +
           "\t051220261430\t2\t100\tline 1\r\nline 2\tTrue\t3\t2\tTrue\t5\t1\t0\t"
           "311220262359\tFalse\t" +
           kAuthor + "\t";
}

void receive(const QByteArray& bytes)
{
    ProcessLANMsg(lanTextFromBytes(bytes));
}

qint64 rowCount()
{
    return OpenReminderDb()->scalar(QStringLiteral("SELECT COUNT(*) FROM Main_tbl")).toLongLong();
}

QVariantMap copyRow(qint32 broadcastId)
{
    const QVariant id = OpenReminderDb()->scalar(
        QStringLiteral("SELECT RMain_Id FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 0"),
        {broadcastId});
    return id.isNull() ? QVariantMap() : reminderRow(id.toInt());
}

QString publishedNextDate()
{
    return ReadIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"), QString());
}

Date field(const QVariantMap& row, const char* name)
{
    return dateField(row.value(QLatin1String(name)));
}

} // namespace

class TestLanMessages : public QObject
{
    Q_OBJECT

    std::unique_ptr<SchedulingDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(Date::fromParts(2026, 12, 1, 9, 0));
        LANNick = QStringLiteral("beta");
        LANOptReceive = true;
        Listeners.clear();
    }
    void cleanup() { m_dir.reset(); }

    void aPeersUpdateIsStoredAsACopyAndAcknowledged()
    {
        LanPeer peer;
        receive(peerUpdate());
        const QVariantMap row = copyRow(123456);
        QCOMPARE(row.value("RCaption").toString(), QString("פגישה"));
        QCOMPARE(field(row, "RDate"), Date::fromParts(2026, 12, 5, 14, 30));
        QCOMPARE(field(row, "RNext"), field(row, "RDate"));
        QCOMPARE(row.value("RDetail").toString(), QString("line 1\r\nline 2"));
        QCOMPARE(row.value("RAuthor").toString(), QString("דנה"));
        QCOMPARE(field(row, "Adv_DateEnd"), Date::fromParts(2026, 12, 31, 23, 59));
        const QList<int> codes{
            row.value("RImportance").toInt(),   row.value("REventType").toInt(),
            row.value("Adv_Period").toInt(),    row.value("Adv_PeriodN").toInt(),
            row.value("Adv_WeekDay").toInt(),   row.value("Adv_MonthDay").toInt(),
            row.value("Adv_MonthCount").toInt()};
        QCOMPARE(codes, (QList<int>{2, 100, 3, 2, 5, 1, 0}));
        QVERIFY(row.value("RActive").toBool() && row.value("Adv_AdvOpt").toBool());
        QVERIFY(!row.value("Adv_NoEnd").toBool() && !row.value("IAMAuthor").toBool());
        QCOMPARE(peer.next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
        QCOMPARE(publishedNextDate(), QString("051220261430"));
    }

    void aSecondUpdateOverwritesTheCopyInPlace()
    {
        LanPeer peer;
        receive(peerUpdate());
        const qint32 id = copyRow(123456).value("RMain_Id").toInt();
        OpenReminderDb()->execute(
            QStringLiteral(
                "UPDATE Main_tbl SET SentTo = 'x\r', ReceivedBy = 'y\r' WHERE RMain_Id = ?"),
            {id});
        receive(peerUpdate("ALL", "123456", "\xE7\xE3\xF9")); // "חדש"
        const QVariantMap row = reminderRow(id);
        QCOMPARE(row.value("RCaption").toString(), QString("חדש"));
        QCOMPARE(row.value("SentTo").toString() + row.value("ReceivedBy").toString(),
                 QString("x\ry\r"));
        QCOMPARE(rowCount(), 1);
    }

    void recipientsNameTheUsersExactly_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<bool>("stored");
        QTest::newRow("second entry") << "alpha" << true;
        QTest::newRow("a prefix") << "alph" << false;
        QTest::newRow("other case") << "Beta" << false;
    }
    void recipientsNameTheUsersExactly()
    {
        QFETCH(QString, nick);
        QFETCH(bool, stored);
        LanPeer peer;
        LANNick = nick;
        receive(peerUpdate("beta\ralpha\r"));
        QCOMPARE(rowCount(), stored ? 1 : 0);
        QCOMPARE(peer.silent(), !stored);
    }

    // Nothing of these is stored or answered; each is logged as a failed update.
    void badUpdatesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        const QByteArray good = peerUpdate();
        auto replaced = [&good](const QByteArray& from, const QByteArray& to) {
            return QByteArray(good).replace(from, to);
        };
        QTest::newRow("caption of 51") << peerUpdate("ALL", "123456", QByteArray(51, 'c'));
        QTest::newRow("identity not a number") << peerUpdate("ALL", "12a");
        QTest::newRow("identity beyond 32 bits") << peerUpdate("ALL", "2147483648");
        QTest::newRow("month 13") << replaced("051220261430", "051320261430");
        QTest::newRow("unknown type") << replaced("\t2\t100\t", "\t2\t7\t");
        QTest::newRow("every 0 weeks") << replaced("\t3\t2\tTrue", "\t3\t0\tTrue");
        QTest::newRow("mask 128") << replaced("True\t5\t1\t0", "True\t128\t1\t0");
        QTest::newRow("weekly without days") << replaced("True\t5\t1\t0", "True\t0\t1\t0");
        QTest::newRow("advanced in days") << replaced("\t3\t2\tTrue", "\t2\t2\tTrue");
        QTest::newRow("token missing") << good.left(good.lastIndexOf("\tFalse\t") + 1);
    }
    void badUpdatesAreRefused()
    {
        QFETCH(QByteArray, datagram);
        LanPeer peer;
        receive(datagram);
        QCOMPARE(rowCount(), 0);
        QVERIFY(peer.silent());
        QVERIFY(logLines().last().contains("שגיאה בנסיון עדכון תזכורת ברשת"));
    }

    // Copies and the reminders this installation wrote never stand in for
    // each other, whatever identity a datagram carries.
    void anIdentityNeverReachesAnAuthoredReminder()
    {
        LanPeer peer;
        const qint32 own = insertReminder(
            reminderFields(0, Date::fromParts(2026, 12, 9), Date::fromParts(2026, 12, 9),
                           {{"BroadcastId", 123456}, {"IAMAuthor", 1}, {"RCaption", "mine"}}));
        receive(peerUpdate());
        receive("127.0.0.2\tDEL\t123456\t");
        receive("127.0.0.2\tACK\t123456\tgamma\t");
        QVERIFY(copyRow(123456).isEmpty());
        const QVariantMap row = reminderRow(own);
        QCOMPARE(row.value("RCaption").toString(), QString("mine"));
        QCOMPARE(row.value("ReceivedBy").toString(), QString("gamma\r"));
        QCOMPARE(peer.next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
    }

    void acknowledgementsAppendEveryName()
    {
        const qint32 own = insertReminder(reminderFields(
            0, Date::fromParts(2026, 12, 9), Date::fromParts(2026, 12, 9), {{"BroadcastId", -77}}));
        receive("127.0.0.2\tACK\t-77\tgamma\t");
        receive("127.0.0.2\tACK\t-77\tgamma\t");
        receive("127.0.0.2\tACK\t78\tgamma\t");
        QCOMPARE(reminderRow(own).value("ReceivedBy").toString(), QString("gamma\rgamma\r"));
        QVERIFY(logLines().last().contains("תזכורת לאישור לא קיימת"));
    }

    void aDeletionRemovesTheCopyOnly()
    {
        LanPeer peer;
        receive(peerUpdate());
        receive("127.0.0.2\tDEL\t999\t");
        QCOMPARE(rowCount(), 1);
        const int logged = logLines().size();
        receive("127.0.0.2\tDEL\t123456\t");
        QCOMPARE(rowCount(), 0);
        QCOMPARE(logLines().size(), logged);
        QCOMPARE(publishedNextDate(), QString("NULL"));
        receive("127.0.0.2\tDEL\tx\t");
        QVERIFY(logLines().last().endsWith("שגיאה בנסיון מחיקת תזכורת ברשת"));
    }

    void whoIsListeningIsAnsweredAndAnswersCollected()
    {
        LanPeer peer;
        receive("127.0.0.2\tWHL\t");
        QCOMPARE(peer.next(), QByteArray("127.0.0.1\tIAM\tbeta\t"));
        receive("127.0.0.2\tIAM\t\xE3\xF0\xE4\t");
        receive("127.0.0.2\tIAM\tgamma\t");
        QCOMPARE(Listeners, (QStringList{"דנה", "gamma"}));
        // An answer never goes to a broadcast address, nor back to ourselves.
        receive("255.255.255.255\tWHL\t");
        receive("127.0.0.1\tWHL\t");
        QVERIFY(peer.silent());
    }

    void withReceivingOffOnlyAnswersAreTaken()
    {
        LanPeer peer;
        LANOptReceive = false;
        const qint32 own = insertReminder(reminderFields(
            0, Date::fromParts(2026, 12, 9), Date::fromParts(2026, 12, 9), {{"BroadcastId", 5}}));
        const int logged = logLines().size();
        receive(peerUpdate());
        receive("127.0.0.2\tWHL\t");
        receive("127.0.0.2\tDEL\t5\t");
        receive("127.0.0.2\tACK\t5\tgamma\t");
        receive("127.0.0.2\tIAM\tgamma\t");
        QCOMPARE(rowCount(), 1);
        QVERIFY(peer.silent());
        QCOMPARE(logLines().size(), logged);
        QCOMPARE(reminderRow(own).value("ReceivedBy").toString(), QString("gamma\r"));
        QCOMPARE(Listeners, QStringList{"gamma"});
    }

    // Each is logged; none is stored or answered, none stops the next one.
    void malformedDatagramsAreLogged_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QStringList>("logged");
        QTest::newRow("lower-case kind")
            << QByteArray("127.0.0.2\tupd\t") << QStringList{"הודעה פגומה", "127.0.0.2\\tupd\\t"};
        QTest::newRow("bytes Windows-1255 lacks")
            << QByteArray("127.0.0.2\tIAM\t\xFF\t") << QStringList{"הודעה פגומה", "IAM"};
        QTest::newRow("a NUL byte")
            << QByteArray("127.0.0.2\tIAM\0\t", 15) << QStringList{"הודעה פגומה", "IAM"};
        QTest::newRow("no kind") << QByteArray("127.0.0.2\t")
                                 << QStringList{"Subscript out of range"};
        QTest::newRow("a name holding a CR")
            << QByteArray("127.0.0.2\tIAM\ta\rb\t") << QStringList{"Invalid nickname"};
    }
    void malformedDatagramsAreLogged()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QStringList, logged);
        LanPeer peer;
        receive(datagram);
        const QStringList lines = logLines().mid(logLines().size() - logged.size());
        for (int i = 0; i < logged.size(); ++i)
            QVERIFY2(lines.value(i).contains(logged[i]), qPrintable(lines.value(i)));
        QVERIFY(Listeners.isEmpty() && peer.silent());
    }

    void textAfterTheLastTabLeavesThatFieldEmpty()
    {
        receive("127.0.0.2\tIAM\tgamma");
        QVERIFY(logLines().last().contains("StrTok Error: 127.0.0.2\\tIAM\\tgamma"));
        QCOMPARE(Listeners, QStringList{QString()});
    }

    // What we send, byte for byte.
    void anUpdateIsWrittenInTheFieldOrder()
    {
        RUpdateRec rec;
        rec.Recipients = QStringLiteral("alpha\rbeta\r");
        rec.BroadcastId = -5;
        rec.RCaption = QStringLiteral("פגישה");
        rec.RDate = Date::fromParts(2026, 12, 5, 14, 30);
        rec.RImportance = 1;
        rec.REventType = 20;
        rec.RDetail = QStringLiteral("a\r\nb");
        rec.Adv_Period = 4;
        rec.Adv_PeriodN = 1;
        rec.Adv_DateEnd = Date::fromParts(2026, 1, 2, 3, 4);
        QCOMPARE(lanBytesFromText(BuildRUpdate(rec)).value(),
                 QByteArray("UPD\talpha\rbeta\r\t-5\t" + kCaption +
                            "\t051220261430\t1\t20\ta\r\nb\tTrue\t4\t1\tFalse\t0\t0\t0\t"
                            "020120260304\tTrue\t\t"));
        const QStringList tokens = (QStringList{"127.0.0.2"} + BuildRUpdate(rec).split('\t'));
        QCOMPARE(BuildRUpdate(ParseRUpdate(tokens)), BuildRUpdate(rec));
    }

    void aSendThatCannotGoOutIsRefusedAndLogged_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("logged");
        QTest::newRow("longer than a datagram")
            << QString(kMaxDatagramBytes, 'x') << "longer than one datagram";
        QTest::newRow("no Windows-1255 byte")
            << QString("IAM\t\U0001F600\t") << "not representable";
    }
    void aSendThatCannotGoOutIsRefusedAndLogged()
    {
        QFETCH(QString, data);
        QFETCH(QString, logged);
        LanPeer peer;
        QVERIFY(!WS_LAN_Send(data, LanPeer::kAddress));
        QVERIFY(peer.silent());
        QVERIFY(logLines().last().contains("WS_LAN_Send: "));
        QVERIFY(logLines().last().contains(logged));
        QVERIFY(WS_LAN_Send(QString(kMaxDatagramBytes - 10, 'x'), LanPeer::kAddress));
        QCOMPARE(peer.next().size(), kMaxDatagramBytes);
    }
};

QTEST_GUILESS_MAIN(TestLanMessages)
#include "tst_lan_messages.moc"
