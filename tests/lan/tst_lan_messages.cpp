#include "tests/support/LanPeer.h"
#include "tests/support/ReminderRows.h"

#include "common/LanText.h"
#include "lan/LanFormat.h"
#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RUpdateRec.h"
#include "lan/SendRUpdate.h"
#include "lan/SharedArrivals.h"
#include "scheduling/Occurrences.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/WriteBatch.h"
#include "trust/SignatureField.h"

#include <QTest>
#include <QUdpSocket>

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

    static void receive(const QByteArray& bytes, const QString& source = QString())
    {
        ProcessLANMsg(lanTextFromBytes(bytes), source);
    }
    // The ReceivedBy of an authored reminder after the acknowledgements, in order.
    static QString acknowledged(const QList<QByteArray>& names)
    {
        const qint32 own = insertReminder(
            reminderFields(0, Date::fromParts(2026, 12, 9), Date::fromParts(2026, 12, 9),
                           {{"BroadcastId", 77}, {"IAMAuthor", 1}, {"ReceivedBy", "gamma\r"}}));
        for (const QByteArray& name : names)
            receive("127.0.0.2\tACK\t77\t" + name + "\t");
        const QString names_ = reminderRow(own).value("ReceivedBy").toString();
        OpenReminderDb()->execute("DELETE FROM Main_tbl WHERE RMain_Id = ?", {own});
        return names_;
    }
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
        for (const char* name : {"gamma", "delta"})
            receive(QString("127.0.0.2\tACK\t123456\t%1\t").arg(name).toUtf8());
        QCOMPARE(copyRow(123456), QVariantMap());
        QCOMPARE(reminderRow(own).value("RCaption").toString(), "mine");
        QCOMPARE(reminderRow(own).value("ReceivedBy").toString(),
                 QString("gamma\rdelta\r")); // appended, not overwritten
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
            {"127.0.0.2\tDEL\tx\t", "שגיאה בנסיון מחיקת תזכורת ברשת"},
            {QByteArray("127.0.0.2\tIAM\ta\0b\t", 17), "הודעה פגומה: 127.0.0.2: 127.0.0.2\\tIAM"},
            {"127.0.0.2\tIAM\t1234567890\t", "Invalid nickname"}};
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

    // A bad datagram is logged once, with its sender and no more than its beginning.
    void aBadDatagramIsLoggedByItsBeginning()
    {
        const QByteArray junk = "127.0.0.2\tBAD\t" + QByteArray(64000, 'j');
        receive(junk, "198.18.0.9");
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].contains("הודעה פגומה: 198.18.0.9: 127.0.0.2\\tBAD\\tjjj"));
        QVERIFY(lines[0].endsWith(QString(kLoggedDatagramChars - 16, 'j') + "… (64014 bytes)"));
    }

    // A nickname of 1 to 9 characters stands once in ReceivedBy: neither a long name nor a
    // repeated one can fill the field and shut the genuine acknowledgements out.
    void acknowledgementsNameEachRecipientOnce()
    {
        QCOMPARE(acknowledged({"beta", "beta", "gamma", "alpha"}), "gamma\rbeta\ralpha\r");
        QCOMPARE(acknowledged({QByteArray(10, 'n'), "", "a\x1b"}), "gamma\r");
        QCOMPARE(acknowledged(QList<QByteArray>(40, "ninechars") << "beta"),
                 "gamma\rninechars\rbeta\r");
        QVERIFY(logLines().last().contains("שגיאה בנסיון קליטת אישור: Invalid nickname"));
    }

    // An acknowledgement of nothing stored here is logged, unless a relay carried it: a relay
    // carries every answer sent to it, whichever installation it is for.
    void anUnknownAcknowledgementIsLoggedUnlessRelayed()
    {
        receive("127.0.0.2\tACK\t999\tgamma\t", "relay:ur:10.1.2.3");
        QCOMPARE(logLines(), QStringList());
        receive("127.0.0.2\tACK\t999\tgamma\t");
        QVERIFY(logLines().join('\n').contains("תזכורת לאישור לא קיימת"));
    }

    // Nicknames of 1 to 9 characters, each once, a thousand at most.
    void listenersAreBounded()
    {
        for (const QByteArray& name :
             {QByteArray("gamma"), QByteArray(10, 'n'), QByteArray("gamma")})
            receive("127.0.0.2\tIAM\t" + name + "\t");
        QCOMPARE(Listeners, QStringList{"gamma"});
        WriteBatch batch; // one commit for all, as the drain stores them
        for (int i = 0; i < kMaxListeners + 5; ++i)
            receive("127.0.0.2\tIAM\tn" + QByteArray::number(i) + "\t");
        batch.finish();
        QCOMPARE(Listeners.size(), kMaxListeners);
        QCOMPARE(Listeners.last(), QString("n%1").arg(kMaxListeners - 2));
    }

    // Answers go where the datagram came from, whatever its field 0 says; "WHL"s from one
    // address are answered once a second at most.
    void answersGoToTheSource()
    {
        QUdpSocket third;
        QVERIFY(third.bind(QHostAddress("127.0.0.3"), LANPort));
        receive(peerUpdate().replace("127.0.0.2\t", "127.0.0.3\t"), LanPeer::kAddress);
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
        const auto answered = [&] {
            receive("127.0.0.3\tWHL\t", LanPeer::kAddress);
            return m_peer->next() == "127.0.0.1\tIAM\tbeta\t";
        };
        QVERIFY(QTest::qWaitFor(answered, 5000)); // a second after an earlier test's answer
        receive("127.0.0.3\tWHL\t", LanPeer::kAddress);
        QVERIFY(m_peer->silent());
        receive("127.0.0.2\tWHL\t", "127.0.0.3");
        QVERIFY(third.waitForReadyRead(2000));
        QCOMPARE(splitSignedDatagram(third.receiveDatagram().data()).unsignedBytes,
                 QByteArray("127.0.0.1\tIAM\tbeta\t"));
        QVERIFY(!third.hasPendingDatagrams());
        QVERIFY(QTest::qWaitFor(answered, 5000)); // a second later
    }

    // Stored as the author sent it, but an empty author as none and without control characters
    // (the line breaks of the details kept).
    void receivedTextsAreStoredWithoutControlCharacters()
    {
        QByteArray update = peerUpdate();
        update.replace(kCaption, "a\x1b[2Jb\rc\nd\x07")
            .replace("line 1\r\nline 2", "x\x1b\r\ny\x01");
        update.replace("\t\xE3\xF0\xE4\t", "\t\t");
        receive(update);
        const QVariantMap row = copyRow(123456);
        QCOMPARE(row.value("RCaption").toString(), QString("a[2Jbcd"));
        QCOMPARE(row.value("RDetail").toString(), QString("x\r\ny"));
        QVERIFY(row.value("RAuthor").isNull());
        QCOMPARE(m_peer->next(), QByteArray("127.0.0.1\tACK\t123456\tbeta\t"));
    }

    // Past its bound an author's new copies are dropped and counted; changing a copy it holds,
    // and copies of other authors, are still taken.
    void anAuthorHoldsBoundedCopies()
    {
        const QByteArray detail(60000, 'd');
        const auto update = [&](int id, const QByteArray& author) {
            QByteArray datagram = peerUpdate("ALL", QByteArray::number(id));
            receive(datagram.replace("line 1\r\nline 2", detail).replace("\xE3\xF0\xE4", author));
        };
        const int fit = int(kMaxCharsPerAuthor / (detail.size() + kCaption.size()));
        WriteBatch batch; // one commit for all, as the drain stores them
        for (int id = 1; id <= fit + 3; ++id)
            update(id, "big");
        QCOMPARE(rowCount(), fit);
        update(1, "big");
        update(fit + 10, "other");
        batch.finish();
        QCOMPARE(rowCount(), fit + 1);
        WriteLogSummary();
        QVERIFY(
            logLines().last().contains("LAN: dropped 3 updates from 127.0.0.2 (author \"big\")"));
    }

    // A copy stored new or changed, or deleted by its author, is told (once committed) for the
    // tray's notice; the same update again tells nothing; a flood tells a few a second one by
    // one and the rest by their count.
    void arrivalsAreTold()
    {
        QStringList told;
        setSharedArrivalHandler([&](const SharedArrival& a) {
            told << QString("%1|%2|%3|%4")
                        .arg(a.kind)
                        .arg(a.author, a.caption, formatDateTime(a.due));
        });
        const QByteArray changed = QByteArray(peerUpdate()).replace(kCaption, "new title");
        for (const QByteArray& datagram :
             {peerUpdate(), peerUpdate(), changed, QByteArray("127.0.0.2\tDEL\t123456\t"),
              QByteArray("127.0.0.2\tDEL\t123456\t")})
            receive(datagram);
        QCOMPARE(told,
                 QStringList({"0|דנה|פגישה|05/12/2026 14:30", "1|דנה|new title|05/12/2026 14:30",
                              "2|דנה|new title|05/12/2026 14:30"}));
        told.clear();
        int heldBack = 0;
        setHeldBackArrivalsHandler([&](int count) { heldBack += count; });
        for (int id = 1; id <= kMaxArrivalsPerSecond + 3; ++id)
            receive(peerUpdate("ALL", QByteArray::number(id)));
        QVERIFY(told.size() <= kMaxArrivalsPerSecond);
        QTRY_COMPARE(told.size() + heldBack, kMaxArrivalsPerSecond + 3); // each one counted
        setSharedArrivalHandler(nullptr);
        setHeldBackArrivalsHandler(nullptr);
    }

    // Each datagram that changes the table tells the open windows, once; one that changes
    // nothing tells nothing.
    void changesAreNoticed_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<quint64>("notices");
        QTest::newRow("a new copy") << peerUpdate("ALL", "5") << quint64(1);
        QTest::newRow("the copy deleted") << QByteArray("127.0.0.2\tDEL\t123456\t") << quint64(1);
        QTest::newRow("an unknown deletion") << QByteArray("127.0.0.2\tDEL\t999\t") << quint64(0);
    }
    void changesAreNoticed()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(quint64, notices);
        receive(peerUpdate());
        const quint64 before = ReminderChanges::serial();
        receive(datagram);
        QCOMPARE(ReminderChanges::serial(), before + notices);
    }

    // What we send, byte for byte: a parsed update written back (parsing is checked above).
    void whatWeSend()
    {
        const QByteArray wire = "UPD\talpha\rbeta\r\t-5\t" + kCaption +
                                "\t051220261430\t1\t20\ta\r\nb\tTrue\t4\t1\tFalse\t0\t0\t0\t"
                                "020120260304\tTrue\t\t";
        const RUpdateRec rec = ParseRUpdate(lanTextFromBytes("127.0.0.2\t" + wire).split('\t'));
        QCOMPARE(rec.RCaption, QString("פגישה"));
        QCOMPARE(lanBytesFromText(BuildRUpdate(rec)), wire);
        // A send that cannot go out is refused and logged.
        // Signed, the datagram holds the signature field too.
        const auto text = [](qsizetype bytes) { return QString(bytes - 1, 'x') + '\t'; };
        QVERIFY(
            !WS_LAN_Send(text(kMaxDatagramBytes - 9 - kSignatureFieldBytes), LanPeer::kAddress));
        QVERIFY(logLines().last().contains("WS_LAN_Send: "));
        QVERIFY(m_peer->silent());
        QVERIFY(
            WS_LAN_Send(text(kMaxDatagramBytes - 10 - kSignatureFieldBytes), LanPeer::kAddress));
        QCOMPARE(m_peer->nextSigned().size(), kMaxDatagramBytes);
    }

    // A Hebrew series reaches a peer of this release whole; the Windows release reads the
    // first 19 fields, which make it one-time at the same due date.
    void aHebrewSeriesTravelsWholeAndAsOneTimeForWindows()
    {
        RUpdateRec rec;
        std::tie(rec.Recipients, rec.BroadcastId, rec.RCaption) = std::tuple("ALL", 7, "אזכרה");
        std::tie(rec.REventType, rec.Adv_PeriodN) = std::tuple(EventHebrewYearly, 2);
        std::tie(rec.Adv_HebrewMonth, rec.Adv_HebrewDay) = std::tuple(1, 30);
        rec.RDate = at(2026, 11, 10, 9, 0);
        const QStringList tokens = ("127.0.0.2\t" + BuildRUpdate(rec)).split('\t');
        QCOMPARE(tokens.value(7), QString::number(EventOnce));
        const RUpdateRec windows = ParseRUpdate(tokens.mid(0, 19));
        QCOMPARE(windows.REventType, short(EventOnce));
        const RUpdateRec whole = ParseRUpdate(tokens);
        QCOMPARE(whole.REventType, short(EventHebrewYearly));
        QCOMPARE(whole.Adv_PeriodN, short(2));
        QCOMPARE(storedAnchor(whole), std::optional(HebrewAnchor{HebrewMonth::Heshvan, 30}));
        QCOMPARE(whole.RDate, rec.RDate);
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
