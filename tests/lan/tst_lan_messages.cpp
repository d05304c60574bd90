#include "tests/lan/LanPeer.h"
#include "tests/support/ReminderRows.h"

#include "common/LanText.h"
#include "lan/LanFormat.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RUpdateRec.h"
#include "lan/SendRUpdate.h"
#include "store/Database.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"

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

    static void receive(const QByteArray& bytes) { ProcessLANMsg(lanTextFromBytes(bytes)); }
    static int rowCount()
    {
        return OpenReminderDb()->scalar("SELECT COUNT(*) FROM Main_tbl").toInt();
    }

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
        QStringList values;
        for (const char* field :
             {"RCaption", "RDetail", "RAuthor", "RImportance", "REventType", "Adv_Period",
              "Adv_PeriodN", "Adv_WeekDay", "Adv_MonthDay", "Adv_MonthCount", "RActive",
              "Adv_AdvOpt", "Adv_NoEnd", "IAMAuthor"})
            values << row.value(field).toString();
        QCOMPARE(values, QString("פגישה|line 1\r\nline 2|דנה|2|100|3|2|5|1|0|1|1|0|0").split('|'));
        QCOMPARE(QList<Date>({dateField(row.value("RDate")), dateField(row.value("RNext")),
                              dateField(row.value("Adv_DateEnd"))}),
                 QList<Date>(
                     {at(2026, 12, 5, 14, 30), at(2026, 12, 5, 14, 30), at(2026, 12, 31, 23, 59)}));
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
    }

    // Recipients name users exactly; a bad update is logged, not stored nor answered.
    void onlyGoodUpdatesForUsAreStored()
    {
        for (const char* nick : {"alph", "Beta"})
            LANNick = nick, receive(peerUpdate("beta\ralpha\r"));
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

    // A datagram's identity never reaches a reminder this installation wrote.
    void anIdentityNeverReachesAnAuthoredReminder()
    {
        const qint32 own = insertReminder(
            reminderFields(0, Date::fromParts(2026, 12, 9), Date::fromParts(2026, 12, 9),
                           {{"BroadcastId", 123456}, {"IAMAuthor", 1}, {"RCaption", "mine"}}));
        receive(peerUpdate());
        receive("127.0.0.2\tDEL\t123456\t");
        for (int twice = 0; twice < 2; ++twice)
            receive("127.0.0.2\tACK\t123456\tgamma\t");
        QCOMPARE(copyRow(123456), QVariantMap());
        QCOMPARE(reminderRow(own).value("RCaption").toString(), "mine");
        QCOMPARE(reminderRow(own).value("ReceivedBy").toString(),
                 QString("gamma\rgamma\r")); // appended
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
    }

    // Each logged, none changes a row or is answered; text after the last TAB is no field.
    void malformedDatagramsAreLoggedAndWhoIsListeningAnswered()
    {
        receive(peerUpdate());
        m_peer->next();
        const QVariantMap copy = copyRow(123456);
        const QList<std::pair<QByteArray, QString>> cases = {
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
        QCOMPARE(Listeners, QStringList());
        QVERIFY(m_peer->silent());
        QCOMPARE(copyRow(123456), copy);

        // Answered to the asker only (not broadcast, not us, not with receiving off).
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

    // What we send, byte for byte: a parsed update written back (parsing is checked above).
    void whatWeSend()
    {
        const QByteArray wire = "UPD\talpha\rbeta\r\t-5\t" + kCaption +
                                "\t051220261430\t1\t20\ta\r\nb\tTrue\t4\t1\tFalse\t0\t0\t0\t"
                                "020120260304\tTrue\t\t";
        const RUpdateRec rec = ParseRUpdate(lanTextFromBytes("127.0.0.2\t" + wire).split('\t'));
        QCOMPARE(rec.RCaption, QString("פגישה"));
        QCOMPARE(lanBytesFromText(BuildRUpdate(rec)).value(), wire);
        // A send that cannot go out is refused and logged.
        QVERIFY(!WS_LAN_Send(QString(kMaxDatagramBytes - 9, 'x'), LanPeer::kAddress));
        QVERIFY(logLines().last().contains("WS_LAN_Send: "));
        QVERIFY(!WS_LAN_Send(QString("IAM\t\U0001F600\t"), LanPeer::kAddress));
        QVERIFY(logLines().last().contains("not representable"));
        QVERIFY(m_peer->silent());
        QVERIFY(WS_LAN_Send(QString(kMaxDatagramBytes - 10, 'x'), LanPeer::kAddress));
        QCOMPARE(m_peer->next().size(), kMaxDatagramBytes);
    }

    // Each send stores the audience chosen now and clears the acknowledgements; the first
    // send's identity stays. The window hands its list also when sending to everybody.
    void aSendMarksTheRowForTheAudienceChosenNow()
    {
        setBroadcastTarget(LanPeer::kAddress);
        const QString list = "alpha\rbeta\r";
        const qint32 id =
            insertReminder(reminderFields(0, at(2026, 12, 9), at(2026, 12, 9), {{"IAMAuthor", 1}}));
        qint32 identity = 0;
        for (const bool toList : {true, false, true, false}) {
            OpenReminderDb()->execute("UPDATE Main_tbl SET ReceivedBy = 'x\r'", {});
            {
                auto db = OpenReminderDb();
                Dynaset rs(*db, Queries::byId(id));
                QVERIFY(SendRUpdate(rs, id, toList, list));
            }
            const QVariantMap row = reminderRow(id);
            QCOMPARE(row.value("SentTo").toString(), toList ? list : QString());
            QCOMPARE(row.value("ReceivedBy").toString(), QString());
            identity = identity ? identity : row.value("BroadcastId").toInt();
            QCOMPARE(row.value("BroadcastId").toInt(), identity);
            QCOMPARE(QString::fromLatin1(m_peer->next()).section('\t', 2, 3),
                     (toList ? list : "ALL") + '\t' + QString::number(identity));
        }
        QVERIFY(identity != 0);
        setBroadcastTarget(QString());
    }
};

QTEST_GUILESS_MAIN(TestLanMessages)
#include "tst_lan_messages.moc"
