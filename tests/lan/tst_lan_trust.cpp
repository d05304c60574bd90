#include "tests/support/LanPeer.h"
#include "tests/support/ReminderRows.h"
#include "tests/support/SigningPeer.h"

#include "common/LanText.h"
#include "common/Log.h"
#include "lan/LanFormat.h"
#include "lan/LanSend.h"
#include "lan/ProcessLANMsg.h"
#include "lan/RUpdateRec.h"
#include "lan/SealedUpdate.h"
#include "lan/SenderTrust.h"
#include "lan/SharedArrivals.h"
#include "platform/Clock.h"
#include "store/ReminderDb.h"
#include "store/UnsignedCopies.h"
#include "trust/ColleagueKeys.h"
#include "trust/InstallationSigner.h"
#include "trust/SealedShare.h"
#include "trust/SignatureCheck.h"
#include "trust/TrustFiles.h"

#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<void()>)
Q_DECLARE_METATYPE(std::function<bool()>)

// Who a datagram may speak for: signatures checked, colleagues pinned to
// their keys, unsigned datagrams taken as a Windows peer's only where no
// colleague is impersonated.
namespace {

QByteArray update(qint32 id, const QByteArray& author, const QByteArray& caption = "caption")
{
    return updateDatagram("127.0.0.2", id, author, caption);
}

QString captionOf(qint32 broadcastId)
{
    return OpenReminderDb()
        ->scalar("SELECT RCaption FROM Main_tbl WHERE BroadcastId = ? AND IAMAuthor = 0",
                 {broadcastId})
        .toString();
}

QString summary()
{
    WriteLogSummary();
    return logLines().join('\n');
}

} // namespace

class TestLanTrust : public QObject
{
    Q_OBJECT

    std::unique_ptr<SchedulingDir> m_dir;
    std::unique_ptr<LanPeer> m_peer;
    std::unique_ptr<SigningPeer> m_dana, m_hostile;

    static void receive(const QByteArray& bytes)
    {
        ProcessLANMsg(lanTextFromBytes(bytes), LanPeer::kAddress);
    }
    // dana's copy 1 stored from her signed update, which pins her.
    void danaShares()
    {
        receive(m_dana->sign(update(1, "dana", "hers")));
        QCOMPARE(captionOf(1), QString("hers"));
        QCOMPARE(KnownColleagues().keyOf("dana"), std::optional(m_dana->key()));
        m_peer->next(); // the acknowledgement
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(Date::fromParts(2026, 12, 1, 9, 0));
        resetSenderTrust();
        forgetInstallationKey();
        m_peer = std::make_unique<LanPeer>();
        m_dana = std::make_unique<SigningPeer>();
        m_hostile = std::make_unique<SigningPeer>();
        LANNick = QStringLiteral("beta"), LANOptReceive = true, LANTrust = LanTrust::Mixed;
        Listeners.clear();
    }
    void cleanup() { m_peer.reset(), m_dir.reset(); }

    // Every kind goes signed; without its last field it is the datagram as sent before.
    void everyDatagramGoesSignedAndOtherwiseUnchanged_data()
    {
        QTest::addColumn<std::function<void()>>("send");
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("ACK") << std::function<void()>([] { SendACK(LanPeer::kAddress, -7); })
                             << QByteArray("127.0.0.1\tACK\t-7\tbeta\t");
        QTest::newRow("IAM") << std::function<void()>([] { SendIAM(LanPeer::kAddress); })
                             << QByteArray("127.0.0.1\tIAM\tbeta\t");
        QTest::newRow("WHL") << std::function<void()>([] { SendWHL(); })
                             << QByteArray("127.0.0.1\tWHL\t");
        QTest::newRow("DEL") << std::function<void()>([] { SendDELMsg(42); })
                             << QByteArray("127.0.0.1\tDEL\t42\t");
        QTest::newRow("UPD") << std::function<void()>([] {
            sendToEverybody(lanTextFromBytes(update(5, "beta").mid(10)));
        }) << QByteArray(update(5, "beta")).replace("127.0.0.2", "127.0.0.1");
    }
    void everyDatagramGoesSignedAndOtherwiseUnchanged()
    {
        QFETCH(std::function<void()>, send);
        QFETCH(QByteArray, before);
        setBroadcastTarget(LanPeer::kAddress);
        send();
        setBroadcastTarget(QString());
        const QByteArray sent = m_peer->nextSigned();
        const qsizetype lastField = sent.lastIndexOf('\t', sent.size() - 2) + 1;
        QCOMPARE(sent.left(lastField), before);
        QVERIFY(sent.mid(lastField).startsWith(kSignatureTag));
        ReplayGuard guard;
        QCOMPARE(checkDatagram(sent, guard).verdict, SignatureVerdict::Valid);
    }

    // Each dropped unseen and counted in the summary with its reason.
    void badSignaturesAreDroppedAndCounted_data()
    {
        QTest::addColumn<int>("verdict");
        for (const SignatureVerdict v :
             {SignatureVerdict::Malformed, SignatureVerdict::BadSignature, SignatureVerdict::BadKey,
              SignatureVerdict::Stale, SignatureVerdict::Replayed})
            QTest::newRow(qPrintable(verdictReason(v))) << int(v);
    }
    void badSignaturesAreDroppedAndCounted()
    {
        QFETCH(int, verdict);
        const QByteArray good = m_dana->sign(update(2, "dana"));
        QByteArray bad = good;
        switch (SignatureVerdict(verdict)) {
        case SignatureVerdict::Malformed:
            bad = update(2, "dana") + kSignatureTag + "short\t";
            break;
        case SignatureVerdict::BadSignature:
            bad.replace("caption", "changed");
            break;
        case SignatureVerdict::BadKey:
            bad = update(2, "dana") +
                  signatureFieldText({Clock::secondsSinceEpoch(), 1, PublicKey{}, Signature{}}) +
                  '\t';
            break;
        case SignatureVerdict::Stale:
            Clock::advance(3600);
            break;
        default: // Replayed: taken once, deleted, and the same datagram again
            receive(good);
            OpenReminderDb()->execute("DELETE FROM Main_tbl", {});
            break;
        }
        receive(bad);
        QCOMPARE(captionOf(2), QString());
        QVERIFY(summary().contains(QString("dropped 1 datagrams from unverified 127.0.0.2: ") +
                                   verdictReason(SignatureVerdict(verdict))));
    }

    // The first signed datagram that names a nickname pins it; another key for it is refused,
    // and told once in the log.
    void aPinnedNicknameRefusesAnotherKey()
    {
        QStringList refusedNames; // told in the tray's notices
        setSharedArrivalHandler([&](const SharedArrival& arrival) {
            if (arrival.kind == SharedArrival::Refused)
                refusedNames << arrival.author;
        });
        danaShares();
        ColleagueKeys stored(TrustFiles::colleaguesFile());
        QVERIFY(stored.load());
        QCOMPARE(stored.keyOf("dana"), std::optional(m_dana->key()));
        for (const qint32 id : {2, 3})
            receive(m_hostile->sign(update(id, "dana")));
        QCOMPARE(captionOf(2) + captionOf(3), QString());
        QCOMPARE(logLines().filter("נחתמו במפתח אחר").size(), 1);
        setSharedArrivalHandler(nullptr);
        QCOMPARE(refusedNames, QStringList{"dana"});
        QVERIFY(m_peer->silent());
    }

    // Neither an unsigned datagram nor another colleague's acts for a pinned colleague.
    void nobodyElseActsForAPinnedColleague_data()
    {
        QTest::addColumn<QByteArray>("unsignedBytes");
        QTest::addColumn<bool>("signedByHostile");
        QTest::addColumn<std::function<bool()>>("untouched");
        const auto copyStands = std::function<bool()>([] { return captionOf(1) == "hers"; });
        QTest::newRow("update as dana") << update(1, "dana", "forged") << false << copyStands;
        QTest::newRow("update as another") << update(1, "eve", "forged") << true << copyStands;
        QTest::newRow("update as unsigned") << update(1, "eve", "forged") << false << copyStands;
        QTest::newRow("deletion") << QByteArray("127.0.0.2\tDEL\t1\t") << false << copyStands;
        QTest::newRow("signed deletion") << QByteArray("127.0.0.2\tDEL\t1\t") << true << copyStands;
        QTest::newRow("receipt") << QByteArray("127.0.0.2\tACK\t99\tdana\t") << false
                                 << std::function<bool()>([] {
                                        return OpenReminderDb()
                                                   ->scalar("SELECT ReceivedBy FROM Main_tbl "
                                                            "WHERE BroadcastId = 99")
                                                   .toString() == "";
                                    });
        QTest::newRow("announcement")
            << QByteArray("127.0.0.2\tIAM\tdana\t") << false
            << std::function<bool()>([] { return !Listeners.contains("dana"); });
    }
    void nobodyElseActsForAPinnedColleague()
    {
        QFETCH(QByteArray, unsignedBytes);
        QFETCH(bool, signedByHostile);
        QFETCH(std::function<bool()>, untouched);
        insertReminder(
            reminderFields(0, at(2026, 12, 9), at(2026, 12, 9),
                           {{"BroadcastId", 99}, {"IAMAuthor", 1}, {"SentTo", "dana\r"}}));
        danaShares();
        receive(signedByHostile ? m_hostile->sign(unsignedBytes) : unsignedBytes);
        QVERIFY(untouched());
        QVERIFY(m_peer->silent());
        // dana herself may.
        receive(m_dana->sign(unsignedBytes.replace("eve", "dana")));
        QVERIFY(!untouched());
    }

    // A share named to colleagues who are all pinned is readable by them only; a Windows peer
    // parses it and finds it is not meant for it.
    void aShareToPinnedColleaguesGoesSealed()
    {
        danaShares();
        QVERIFY(KnownColleagues().pin("beta", installationKeyPair().publicKey()));
        QStringList tokens;
        StrTok(lanTextFromBytes(update(8, "dana", "secret")), tokens, '\t');
        RUpdateRec rec = ParseRUpdate(tokens);
        rec.Recipients = "beta\r";
        const QString sealed = SharedUpdateText(rec);
        QVERIFY(!sealed.contains("secret"));
        QVERIFY(!sealed.contains("detail"));
        StrTok("127.0.0.2\t" + sealed, tokens, '\t');
        const RUpdateRec outside = ParseRUpdate(tokens); // as the Windows release reads it
        QVERIFY(isSealedUpdate(outside));
        LANNick = "gamma";
        QVERIFY(NotForMe(outside));
        LANNick = "beta";
        const QByteArray datagram = lanBytesFromText("127.0.0.2\t" + sealed);
        receive(datagram);
        QCOMPARE(captionOf(8), QString());
        receive(m_dana->sign(datagram));
        QCOMPARE(captionOf(8), QString("secret"));
        rec.Recipients = "beta\rwin\r"; // a recipient known by no key reads it as today
        QVERIFY(SharedUpdateText(rec).contains("secret"));
    }

    // A Windows peer's datagrams are taken in "mixed", each copy marked as unsigned for good: a
    // restart and its author's signed datagrams later leave the mark, only a signed update of
    // the copy clears it. In "signed" they are dropped, counted.
    void unsignedDatagramsFollowThePolicy()
    {
        const auto marked = [](qint32 id) { return isUnsignedCopy(*OpenReminderDb(), id); };
        receive(update(7, "win"));
        QCOMPARE(captionOf(7), QString("caption"));
        resetSenderTrust();                      // as a restart reads it again
        receive(m_dana->sign(update(8, "win"))); // "win" pinned from now on
        QCOMPARE((QList<bool>{marked(7), marked(8)}), (QList<bool>{true, false}));
        receive(m_dana->sign(update(7, "win", "signed")));
        QVERIFY(!marked(7));
        LANTrust = LanTrust::Signed;
        receive(update(9, "other"));
        QCOMPARE(captionOf(9), QString());
        QVERIFY(summary().contains(
            "dropped 1 datagrams from unverified 127.0.0.2: unsigned, and only signed datagrams "
            "are taken"));
    }

    // A relay of this segment carries this installation's own datagrams back by the broker,
    // field 0 no proof of whose they are there: the signature tells them.
    void ownDatagramsCarriedBackArePassedOver()
    {
        const QString relayed = "relay:ur:10.0.0.5";
        ProcessLANMsg(lanTextFromBytes(signWithInstallationKey(update(7, "beta"), 1)), relayed);
        ProcessLANMsg(lanTextFromBytes(m_dana->sign(update(8, "dana"))), relayed);
        QCOMPARE((QStringList{captionOf(7), captionOf(8)}), (QStringList{"", "caption"}));
    }

    // What a broker kept while this computer was off comes late: taken up to the broker's
    // keeping, and once only, even when the program ended between or it came first fresh.
    void whatTheBrokerKeptIsTakenOnce_data()
    {
        QTest::addColumn<qint64>("age");
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("firstFromLan");
        QTest::addColumn<bool>("taken");
        const QString broker = QStringLiteral("mqtt:dana");
        QTest::newRow("an hour, by the broker") << qint64(3600) << broker << false << true;
        QTest::newRow("29 days, by the broker") << qint64(29 * 86400) << broker << false << true;
        QTest::newRow("an hour, by a relay")
            << qint64(3600) << QStringLiteral("relay:ur:10.0.0.5") << false << true;
        QTest::newRow("31 days, by the broker") << qint64(31 * 86400) << broker << false << false;
        QTest::newRow("an hour, from the LAN")
            << qint64(3600) << LanPeer::kAddress << false << false;
        QTest::newRow("taken fresh, again by the broker")
            << qint64(3600) << QStringLiteral("mqtt:hostile") << true << false;
    }
    void whatTheBrokerKeptIsTakenOnce()
    {
        QFETCH(qint64, age);
        QFETCH(QString, source);
        QFETCH(bool, firstFromLan);
        QFETCH(bool, taken);
        const QString text = lanTextFromBytes(m_dana->sign(update(7, "dana")));
        if (firstFromLan)
            QVERIFY(checkSender(text, LanPeer::kAddress));
        Clock::advance(age);
        QCOMPARE(checkSender(text, source).has_value(), taken);
        resetSenderTrust(); // the program ends
        QVERIFY(!checkSender(text, source));
    }
};

QTEST_GUILESS_MAIN(TestLanTrust)
#include "tst_lan_trust.moc"
