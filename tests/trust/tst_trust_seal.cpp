#include "common/LanText.h"
#include "platform/Failure.h"
#include "trust/Fingerprint.h"
#include "trust/SealedBox.h"
#include "trust/SealedShare.h"

#include <QRegularExpression>
#include <QTest>

namespace {

KeyPair seeded(unsigned char fill)
{
    KeySeed seed;
    seed.fill(fill);
    return KeyPair::fromSeed(seed);
}

// What a field of a datagram's text may hold.
bool printable(const QByteArray& text)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_-]*$"));
    return form.match(QString::fromLatin1(text)).hasMatch();
}

} // namespace

class TrustSealTest : public QObject
{
    Q_OBJECT
    const KeyPair m_dana = seeded(1);
    const KeyPair m_yossi = seeded(2);
    const KeyPair m_outsider = seeded(3);

private slots:
    // Contents of every kind come back whole, for their recipient only, from
    // a printable box of the announced length.
    void sealedBoxes()
    {
        const QList<QByteArray> contents = {"", "x",
                                            lanBytesFromText(QStringLiteral("ישיבה\tבשעה 10\r\n")),
                                            QByteArray("\0\x01\xFF\t", 4), QByteArray(40000, 'z')};
        for (const QByteArray& content : contents) {
            const QByteArray sealed = sealFor(content, m_dana.publicKey());
            QVERIFY(printable(sealed));
            QCOMPARE(sealed.size(), sealedLength(content.size()));
            QCOMPARE(openSealed(sealed, m_dana), std::optional<QByteArray>(content));
            QCOMPARE(openSealed(sealed, m_yossi), std::nullopt);
        }
    }

    // Changed, cut or foreign boxes open to nothing.
    void damagedBoxes()
    {
        const QByteArray sealed = sealFor("secret", m_dana.publicKey());
        QByteArray changed = sealed;
        changed[10] = changed[10] == 'A' ? 'B' : 'A';
        for (const QByteArray& bad :
             {changed, sealed.chopped(1), sealed.chopped(4), QByteArray(), QByteArray("!!!!"),
              QByteArray(kMaxDatagramBytes + 4, 'A'), sealed + "\t"})
            QCOMPARE(openSealed(bad, m_dana), std::nullopt);
    }

    // Nothing is sealed that would not fit one datagram, nor to a key that is not one.
    void sealLimits()
    {
        const qsizetype largest = (kMaxDatagramBytes * 3) / 4 - kSealBytes;
        QVERIFY(sealedLength(largest) <= kMaxDatagramBytes);
        QCOMPARE(openSealed(sealFor(QByteArray(largest, 'x'), m_dana.publicKey()), m_dana)->size(),
                 largest);
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 sealFor(QByteArray(largest + 1, 'x'), m_dana.publicKey()));
        QVERIFY_THROWS_EXCEPTION(Failure, sealFor("x", PublicKey{}));
    }

    // A share opens for each recipient, in any order of its keys, and for no one else.
    void sharedToSeveral()
    {
        const QByteArray content = lanBytesFromText(QStringLiteral("תזכורת לשניים"));
        SealedShare share = sealForMany(content, {m_dana.publicKey(), m_yossi.publicKey()});
        QCOMPARE(share.keys.size(), 2);
        QVERIFY(printable(share.content));
        QCOMPARE(share.content.size() + 2 * kSealedShareKeyLength,
                 sealedShareLength(content.size(), 2));
        QCOMPARE(openShare(share, m_dana), std::optional<QByteArray>(content));
        QCOMPARE(openShare(share, m_yossi), std::optional<QByteArray>(content));
        QCOMPARE(openShare(share, m_outsider), std::nullopt);
        std::swap(share.keys[0], share.keys[1]);
        QCOMPARE(openShare(share, m_dana), std::optional<QByteArray>(content));
        share.content[30] = share.content[30] == 'A' ? 'B' : 'A';
        QCOMPARE(openShare(share, m_dana), std::nullopt);
    }

    void shareLimits()
    {
        QVERIFY_THROWS_EXCEPTION(Failure, sealForMany("x", {}));
        const QList<PublicKey> tooMany(kMaxShareRecipients + 1, m_dana.publicKey());
        QVERIFY_THROWS_EXCEPTION(Failure, sealForMany("x", tooMany));
        QVERIFY_THROWS_EXCEPTION(Failure, sealForMany(QByteArray(60000, 'x'),
                                                      {m_dana.publicKey(), m_yossi.publicKey()}));
        SealedShare share = sealForMany("x", {m_dana.publicKey()});
        share.keys = QList<QByteArray>(kMaxShareRecipients + 1, share.keys.first());
        QCOMPARE(openShare(share, m_dana), std::nullopt);
    }

    // Fingerprints and ids read the same in every release: people compare them.
    void fingerprints()
    {
        QCOMPARE(keyFingerprint(m_dana.publicKey()),
                 QStringLiteral("18540 11034 90088 15319 85980"));
        QCOMPARE(keyId(m_dana.publicKey()), QStringLiteral("998699d12b039ed7"));
        QVERIFY(keyFingerprint(m_yossi.publicKey()) != keyFingerprint(m_dana.publicKey()));
        QVERIFY(keyId(m_yossi.publicKey()) != keyId(m_dana.publicKey()));
    }

    // A key's text gives the key back; nothing else gives a key.
    void keyTexts()
    {
        const QByteArray text = publicKeyText(m_dana.publicKey());
        QCOMPARE(publicKeyFromText(text), std::optional<PublicKey>(m_dana.publicKey()));
        for (const QByteArray& bad :
             {text.chopped(1), text + "A", QByteArray(text).replace(5, 1, "+"),
              QByteArray(text).replace(5, 1, "\xDC"), QByteArray()})
            QCOMPARE(publicKeyFromText(bad), std::nullopt);
        QVERIFY(isUsableKey(m_dana.publicKey()));
    }
};

QTEST_GUILESS_MAIN(TrustSealTest)
#include "tst_trust_seal.moc"
