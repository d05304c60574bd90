#include "LanPeer.h"
#include "ReminderRows.h"

#include "Database.h"
#include "LanFormat.h"
#include "LanSend.h"
#include "LanText.h"
#include "ProcessLANMsg.h"
#include "RUpdateRec.h"
#include "Reminder.h"

#include <QTest>

// Datagrams written out by hand, in Windows-1255 bytes: what a peer sends us, and what we send.
namespace {

const QByteArray kCaption = "\xF4\xE2\xE9\xF9\xE4"; // "פגישה"

// An advanced weekly update (Sunday and Tuesday, every 2 weeks) from 127.0.0.2.
QByteArray peerUpdate(const QByteArray& recipients = "ALL", const QByteArray& id = "123456")
{
    return "127.0.0.2\tUPD\t" + recipients + "\t" + id + "\t" + kCaption +
           "\t051220261430\t2\t100\tline 1\r\nline 2\tTrue\t3\t2\tTrue\t5\t1\t0\t"
           "311220262359\tFalse\t\xE3\xF0\xE4\t";
}

void receive(const QByteArray& bytes)
{
    ProcessLANMsg(lanTextFromBytes(bytes));
}

qint64 rowCount()
{
    return OpenReminderDb()->scalar("SELECT COUNT(*) FROM Main_tbl").toLongLong();
}

QVariantMap copyRow(qint32 broadcastId)
{
    const QVariant id = OpenReminderDb()->scalar(
        "SELECT RMain_Id FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 0", {broadcastId});
    return id.isNull() ? QVariantMap() : reminderRow(id.toInt());
}

} // namespace

class TestLanMessages : public QObject
{
    Q_OBJECT

    std::unique_ptr<SchedulingDir> m_dir;
    std::unique_ptr<LanPeer> m_peer;

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(Date::fromParts(2026, 12, 1, 9, 0));
        m_peer = std::make_unique<LanPeer>();
        LANNick = QStringLiteral("beta"), LANOptReceive = true, Listeners.clear();
    }
    void cleanup() { m_peer.reset(), m_dir.reset(); }

    void aPeersUpdateIsStoredAsACopyAndAcknowledged()
    {
        receive(peerUpdate());
        const QVariantMap row = copyRow(123456);
        QCOMPARE(row.value("RCaption").toString(), QString("פגישה"));
        QCOMPARE(dateField(row.value("RDate")), Date::fromParts(2026, 12, 5, 14, 30));
        QCOMPARE(dateField(row.value("RNext")), dateField(row.value("RDate")));
        QCOMPARE(row.value("RDetail").toString(), QString("line 1\r\nline 2"));
        QCOMPARE(row.value("RAuthor").toString(), QString("דנה"));
        QCOMPARE(dateField(row.value("Adv_DateEnd")), Date::fromParts(2026, 12, 31, 23, 59));
        QList<int> codes;
        for (const char* field : {"RImportance", "REventType", "Adv_Period", "Adv_PeriodN",
                                  "Adv_WeekDay", "Adv_MonthDay", "Adv_MonthCount"})
            codes << row.value(field).toInt();
        QCOMPARE(codes, (QList<int>{2, 100, 3, 2, 5, 1, 0}));
        QVERIFY(row.value("RActive").toBool() && row.value("Adv_AdvOpt").toBool());
        QVERIFY(!row.value("Adv_NoEnd").toBool() && !row.value("IAMAuthor").toBool());
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
    }

    // Recipients name the users exactly; a bad update is neither stored nor
    // answered, and is logged.
    void onlyGoodUpdatesForUsAreStored()
    {
        for (const char* nick : {"alph", "Beta"}) {
            LANNick = nick;
            receive(peerUpdate("beta\ralpha\r"));
        }
        const QByteArray good = peerUpdate();
        for (const QByteArray& bad : {peerUpdate("ALL", "2147483648"),
                                      QByteArray(good).replace("051220261430", "051320261430"),
                                      QByteArray(good).replace("\t2\t100\t", "\t2\t7\t"),
                                      good.left(good.lastIndexOf("\tFalse\t") + 1)}) {
            receive(bad);
            QVERIFY(logLines().last().contains("שגיאה בנסיון עדכון תזכורת ברשת"));
        }
        QCOMPARE(rowCount(), 0);
        QVERIFY(m_peer->silent());
        LANNick = "alpha";
        receive(peerUpdate("beta\ralpha\r"));
        QCOMPARE(rowCount(), 1);
    }

    // Copies and the reminders this installation wrote never stand in for
    // each other, whatever identity a datagram carries.
    void anIdentityNeverReachesAnAuthoredReminder()
    {
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
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
    }

    // Answered to the asker only, never to a broadcast address or ourselves,
    // and not at all with receiving off; answers are collected either way.
    void whoIsListeningIsAnsweredAndAnswersCollected()
    {
        receive("127.0.0.2\tWHL\t");
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tIAM\tbeta\t"));
        receive("255.255.255.255\tWHL\t");
        receive("127.0.0.1\tWHL\t");
        LANOptReceive = false;
        receive("127.0.0.2\tWHL\t");
        receive("127.0.0.2\tIAM\t\xE3\xF0\xE4\t");
        receive("127.0.0.2\tIAM\tgamma\t");
        QCOMPARE(Listeners, (QStringList{"דנה", "gamma"}));
        QVERIFY(m_peer->silent());
    }

    // Each is logged; none changes a row or is answered, none stops the next
    // one. Text after the last TAB is no field.
    void malformedDatagramsAreLogged()
    {
        receive(peerUpdate());
        m_peer->next();
        const QVariantMap copy = copyRow(123456);
        const QList<std::pair<QByteArray, QString>> cases = {
            {"127.0.0.2\tupd\t", "הודעה פגומה"},
            {"127.0.0.2\tIAM\t\xFF\t", "הודעה פגומה"},
            {"127.0.0.2\t", "Subscript out of range"},
            {"127.0.0.2\tIAM\ta\rb\t", "Invalid nickname"},
            {"127.0.0.2\tDEL\t123456", "StrTok Error: 127.0.0.2\\tDEL\\t123456"},
            {"127.0.0.2\tDEL\tx\t", "שגיאה בנסיון מחיקת תזכורת ברשת"}};
        for (const auto& [datagram, logged] : cases) {
            const qsizetype before = logLines().size();
            receive(datagram);
            QVERIFY2(logLines().mid(before).join('\n').contains(logged), qPrintable(logged));
        }
        QVERIFY(Listeners.isEmpty() && m_peer->silent());
        QCOMPARE(copyRow(123456), copy);
    }

    // What we send, byte for byte, and read back the same.
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
        rec.RActive = true;
        rec.Adv_Period = 4;
        rec.Adv_PeriodN = 1;
        rec.Adv_AdvOpt = false;
        rec.Adv_MonthDay = 0;
        rec.Adv_DateEnd = Date::fromParts(2026, 1, 2, 3, 4);
        QCOMPARE(lanBytesFromText(BuildRUpdate(rec)).value(),
                 QByteArray("UPD\talpha\rbeta\r\t-5\t" + kCaption +
                            "\t051220261430\t1\t20\ta\r\nb\tTrue\t4\t1\tFalse\t0\t0\t0\t"
                            "020120260304\tTrue\t\t"));
        const QStringList tokens = (QStringList{"127.0.0.2"} + BuildRUpdate(rec).split('\t'));
        QCOMPARE(BuildRUpdate(ParseRUpdate(tokens)), BuildRUpdate(rec));
    }

    void aSendThatCannotGoOutIsRefusedAndLogged()
    {
        QVERIFY(!WS_LAN_Send(QString(kMaxDatagramBytes - 9, 'x'), LanPeer::kAddress));
        QVERIFY(logLines().last().contains("WS_LAN_Send: "));
        QVERIFY(!WS_LAN_Send(QString("IAM\t\U0001F600\t"), LanPeer::kAddress));
        QVERIFY(logLines().last().contains("not representable"));
        QVERIFY(m_peer->silent());
        QVERIFY(WS_LAN_Send(QString(kMaxDatagramBytes - 10, 'x'), LanPeer::kAddress));
        QCOMPARE(m_peer->next().size(), kMaxDatagramBytes);
    }
};

QTEST_GUILESS_MAIN(TestLanMessages)
#include "tst_lan_messages.moc"
