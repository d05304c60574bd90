// A colleague announces himself ("IAM"): what this installation shared and he has not
// acknowledged goes again, and the deletions he missed, to his address only, each after a
// growing pause.
#include "tests/support/LanPeer.h"
#include "tests/support/ReminderRows.h"

#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/SendRUpdate.h"
#include "scheduling/ReminderWrites.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderDb.h"
#include "store/ShareDates.h"
#include "store/ShareResends.h"

#include <QTest>

namespace {

struct Shared
{
    const char* what;
    qint32 broadcastId;
    QVariantMap fields; // beside an active authored reminder shared to everybody
    int sharedDaysAgo = 0;
};

// The identity and recipients of each update the peer got, in order of arrival.
QStringList updatesGot(LanPeer& peer)
{
    QStringList got;
    for (QByteArray d = peer.next(); !d.isEmpty(); d = peer.silent() ? QByteArray() : peer.next())
        got << QString::fromLatin1(d).section('\t', 1, 3);
    return got;
}

} // namespace

class TestLanCatchUp : public QObject
{
    Q_OBJECT

    std::unique_ptr<SchedulingDir> m_dir;
    std::unique_ptr<LanPeer> m_peer;
    const Date m_now = at(2026, 12, 1, 9, 0);

    // Each reminder as a send of this installation leaves it, shared days ago.
    void share(const QList<Shared>& rows)
    {
        for (const Shared& s : rows) {
            QVariantMap fields{
                {"IAMAuthor", 1}, {"BroadcastId", s.broadcastId}, {"RCaption", s.what}};
            fields.insert(s.fields);
            insertReminder(reminderFields(0, at(2026, 12, 9), at(2026, 12, 9), fields));
            Clock::setNow(m_now.addDays(-s.sharedDaysAgo));
            NoteShared(*OpenReminderDb(), s.broadcastId);
        }
        Clock::setNow(m_now);
    }
    static void announce(const QByteArray& nick, const QString& source = LanPeer::kAddress)
    {
        ProcessLANMsg(QString::fromLatin1("198.18.0.9\tIAM\t" + nick + "\t"), source);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(m_now);
        m_peer = std::make_unique<LanPeer>();
        LANNick = QStringLiteral("alpha"), LANOptSend = true, LANOptReceive = true;
    }
    void cleanup() { m_peer.reset(), m_dir.reset(); }

    void whatTheAnnouncerMissesGoesToHimOnly()
    {
        share({{"all", 101, {}},
               {"his list", 102, {{"SentTo", "gamma\rdelta\r"}}},
               {"not his list", 103, {{"SentTo", "gammas\rdelta\r"}}},
               {"acknowledged", 104, {{"ReceivedBy", "delta\rgamma\r"}}},
               {"another's receipt", 105, {{"ReceivedBy", "xgamma\r"}}},
               {"inactive", 106, {{"RActive", 0}}},
               {"a copy", 107, {{"IAMAuthor", 0}}},
               {"long ago", 108, {}, kShareMemoryDays + 1},
               {"within the days", 109, {}, kShareMemoryDays - 1}});
        insertReminder(reminderFields(0, at(2026, 12, 9), at(2026, 12, 9), {{"IAMAuthor", 1}}));
        announce("gamma");
        QCOMPARE(updatesGot(*m_peer), QStringList({"UPD\tALL\t101", "UPD\tgamma\rdelta\r\t102",
                                                   "UPD\tALL\t105", "UPD\tALL\t109"}));
        // The receipts stand as they were.
        QCOMPARE(OpenReminderDb()
                     ->scalar("SELECT ReceivedBy FROM Main_tbl WHERE BroadcastId = 105")
                     .toString(),
                 QString("xgamma\r"));
    }

    // The deletions on the network of the last days, for everybody or for a list naming him,
    // latest first and before the updates; not one shared again since, nor a local deletion.
    void theDeletionsHeMissedGoToHimFirst()
    {
        share({{"for all", 501, {}},
               {"his list", 502, {{"SentTo", "delta\rgamma\r"}}},
               {"not his list", 503, {{"SentTo", "gammas\r"}}},
               {"long ago", 504, {}},
               {"locally", 505, {}},
               {"shared again", 506, {}},
               {"still shared", 507, {}}});
        const auto remove = [this](qint32 broadcastId, NetworkDeletion how, int daysAgo) {
            Clock::setNow(m_now.addDays(-daysAgo));
            const qint32 id =
                OpenReminderDb()
                    ->scalar("SELECT RMain_Id FROM Main_tbl WHERE BroadcastId = ?", {broadcastId})
                    .toInt();
            QCOMPARE(int(DeleteReminder(id, [how] { return how; }, {})), int(Deletion::Deleted));
            Clock::setNow(m_now);
        };
        remove(504, NetworkDeletion::Also, kShareMemoryDays + 1);
        remove(501, NetworkDeletion::Also, 2);
        remove(503, NetworkDeletion::Also, 1);
        remove(502, NetworkDeletion::Also, 1);
        remove(505, NetworkDeletion::LocalOnly, 0);
        remove(506, NetworkDeletion::Also, 0);
        share({{"again", 506, {}}});
        announce("gamma");
        QCOMPARE(updatesGot(*m_peer),
                 QStringList({"DEL\t502\t", "DEL\t501\t", "UPD\tALL\t507", "UPD\tALL\t506"}));
        announce("gamma");
        QVERIFY(m_peer->silent());
    }

    // The pause after each re-send to an address grows from a minute to a day; a colleague at
    // the same address is the same address.
    void thePauseGrowsToADay()
    {
        share({{"all", 201, {}}});
        const QStringList once{"UPD\tALL\t201"};
        announce("gamma");
        QCOMPARE(updatesGot(*m_peer), once);
        const qint64 pauses[] = {60,   120,   240,   480,   960,   1920, 3840,
                                 7680, 15360, 30720, 61440, 86400, 86400};
        for (const qint64 pause : pauses) {
            Clock::advance(pause - 1);
            announce("gamma");
            announce("delta");
            QVERIFY2(m_peer->silent(), qPrintable(QString::number(pause)));
            Clock::advance(1);
            announce("delta");
            QCOMPARE(updatesGot(*m_peer), once);
        }
    }

    // An acknowledgement shows its sender there: what else he has not acknowledged goes again
    // once its pause is over, and a flood of his acknowledgements sends nothing more.
    void anAcknowledgementIsASighting()
    {
        share({{"first", 601, {}}, {"second", 602, {}}});
        announce("gamma");
        QCOMPARE(updatesGot(*m_peer), QStringList({"UPD\tALL\t601", "UPD\tALL\t602"}));
        Clock::advance(kFirstResendGapS);
        for (int i = 0; i < 3; ++i)
            ProcessLANMsg(QStringLiteral("198.18.0.9\tACK\t601\tgamma\t"), LanPeer::kAddress);
        QCOMPARE(updatesGot(*m_peer), QStringList{"UPD\tALL\t602"});
    }

    // Nothing while sending is off, nor to an address no answer may go to.
    void nothingWhenNoAnswerMayGo()
    {
        share({{"all", 301, {}}});
        LANOptSend = false;
        announce("gamma");
        LANOptSend = true;
        announce("gamma", "255.255.255.255");
        announce("gamma", "224.0.0.1");
        QVERIFY(m_peer->silent());
    }

    // A send notes when it shared: an old share sent again is sent again on announcements, and
    // its pause starts over.
    void aSendNotesWhenItShared()
    {
        share({{"again", 401, {}, kShareMemoryDays + 5}});
        const qint32 id = OpenReminderDb()->scalar("SELECT RMain_Id FROM Main_tbl").toInt();
        for (int send = 1; send <= 2; ++send) {
            setBroadcastTarget(LanPeer::kAddress);
            {
                auto db = OpenReminderDb();
                Dynaset rs(*db, Queries::byId(id));
                QVERIFY(SendRUpdate(rs, id, false, QString()));
            }
            setBroadcastTarget(QString());
            QCOMPARE(updatesGot(*m_peer), QStringList{"UPD\tALL\t401"});
            announce("gamma");
            QCOMPARE(updatesGot(*m_peer), QStringList{"UPD\tALL\t401"});
        }
    }
};

QTEST_GUILESS_MAIN(TestLanCatchUp)
#include "tst_lan_catchup.moc"
