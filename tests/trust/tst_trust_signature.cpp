#include "common/LanText.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "trust/DatagramSigner.h"
#include "trust/SignatureCheck.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray wire(const QString& text)
{
    return lanBytesFromText(text);
}

// Datagrams as the release before sends them, one of each kind.
const QList<QByteArray>& unsignedDatagrams()
{
    static const QList<QByteArray> datagrams = {
        wire(QStringLiteral(
            "10.0.0.1\tUPD\tALL\t-17341\tישיבת צוות\t051220261430\t1\t10\tלהביא "
            "דוח\r\nשורה שניה\tTrue\t0\t0\tFalse\t0\t0\t0\t051220261430\tTrue\tמשה\t")),
        wire(QStringLiteral(
            "10.0.0.1\tUPD\tALL\t5\tx\t051220261430\t1\t10\t\tTrue\t0\t0\tFalse\t0\t0\t"
            "0\t051220261430\tTrue\t\t")), // an empty author: ends in two TABs
        "10.0.0.1\tDEL\t-2147483648\t",
        wire(QStringLiteral("10.0.0.1\tACK\t42\tדנה\t")),
        "10.0.0.1\tWHL\t",
        wire(QStringLiteral("10.0.0.1\tIAM\tKVSIG1\t")),
    };
    return datagrams;
}

// The signature field's text of a signed datagram, without its TAB.
QByteArray fieldOf(const QByteArray& signedBytes)
{
    return signedBytes.right(kSignatureFieldBytes).chopped(1);
}

PublicKey keyOf(unsigned char first, unsigned char last)
{
    PublicKey key{};
    key.front() = first;
    key.back() = last;
    return key;
}

} // namespace

class TrustSignatureTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DatagramSigner> m_signer;
    ReplayGuard m_guard;

    QByteArray sign(const QByteArray& bytes) { return m_signer->sign(bytes); }
    SignatureVerdict verdict(const QByteArray& bytes)
    {
        return checkDatagram(bytes, m_guard).verdict;
    }
    QByteArray withField(const QByteArray& unsignedBytes, const SignatureField& field)
    {
        return unsignedBytes + signatureFieldText(field) + '\t';
    }

private slots:
    void init()
    {
        Clock::setNow(Date::fromParts(2026, 5, 4, 9, 30));
        m_dir = std::make_unique<QTemporaryDir>();
        m_signer = std::make_unique<DatagramSigner>(KeyPair::generate(),
                                                    m_dir->filePath(QStringLiteral("counter")));
        m_guard = ReplayGuard();
    }
    void cleanup() { Clock::useSystemClock(); }

    // Every kind signs and checks; taking the field off gives back the
    // datagram byte for byte, from the bytes and from the text alike.
    void roundTrip()
    {
        for (const QByteArray& datagram : unsignedDatagrams()) {
            const QByteArray signedBytes = sign(datagram);
            QCOMPARE(signedBytes.size(), datagram.size() + kSignatureFieldBytes);
            QCOMPARE(signedBytes.left(datagram.size()), datagram);
            const SignatureCheck check = checkDatagram(signedBytes, m_guard);
            QCOMPARE(check.verdict, SignatureVerdict::Valid);
            QCOMPARE(check.unsignedBytes, datagram);
            QCOMPARE(check.key, m_signer->keys().publicKey());
            QCOMPARE(check.time, Clock::secondsSinceEpoch());

            const QString text = lanTextFromBytes(sign(datagram));
            const SplitDatagram split = splitSignedDatagram(text);
            QCOMPARE(checkSignature(split, m_guard).verdict, SignatureVerdict::Valid);
            QCOMPARE(unsignedText(text, split), lanTextFromBytes(datagram));
        }
    }

    // Datagrams of the Windows release, whatever their last field, are unsigned and whole.
    void windowsDatagramsUnsigned()
    {
        const QByteArray realField = fieldOf(sign("10.0.0.1\tWHL\t"));
        QList<QByteArray> cases = unsignedDatagrams();
        cases << wire(QStringLiteral(
                     "10.0.0.1\tUPD\tALL\t5\tכותרת בעברית\t")) // cut after the caption
              << "10.0.0.1\tUPD\tALL\t5\t\t"
              << "10.0.0.1\tDEL\t7" // text after the last TAB
              << "\t"
              << ""
              << "10.0.0.1\tIAM\t" + realField.mid(kSignatureTagLength) + '\t' // no tag
              << "10.0.0.1\tIAM\tkvsig1:" + realField.mid(kSignatureTagLength) + '\t'
              << "10.0.0.1\tIAM\t" + realField + "\tx\t"; // not the last field
        for (const QByteArray& datagram : cases) {
            const SignatureCheck check = checkDatagram(datagram, m_guard);
            QCOMPARE(check.verdict, SignatureVerdict::Unsigned);
            QCOMPARE(check.unsignedBytes, datagram);
        }
    }

    // Hostile signature fields: each told apart, none taken, nothing crashes.
    void malformedFields()
    {
        const QByteArray datagram = "10.0.0.1\tDEL\t5\t";
        const QByteArray field = fieldOf(sign(datagram));
        const auto replaced = [&](qsizetype at, QByteArray by) {
            return QByteArray(field).replace(at, 1, by);
        };
        const auto malformed = SignatureVerdict::Malformed;
        // clang-format off
        const struct { QByteArray field; SignatureVerdict expected; } cases[] = {
            {field.chopped(1), malformed},
            {field.left(kSignatureFieldChars / 2), malformed},
            {field + 'A', malformed},
            {kSignatureTag, malformed},
            {replaced(20, "+"), malformed},                // standard base64, not base64url
            {replaced(20, "="), malformed},
            {replaced(20, QByteArray(1, '\0')), malformed},
            {replaced(20, "\xE9"), malformed},             // a Hebrew letter
            {replaced(20, "\xDC"), malformed},             // read as "_" by libsodium alone
            {replaced(20, " "), malformed},
            {replaced(20, "\r"), malformed},
            {replaced(20, "\n"), malformed},
            {replaced(field.size() - 1, "B"), malformed},  // stray bits: a second form of the same bytes
            {field.chopped(2) + "==", malformed},
            {kSignatureTag + QByteArray(5000, 'A'), malformed},
            {kSignatureTag + QByteArray(kMaxDatagramBytes, 'A'), SignatureVerdict::Oversized},
            {replaced(20, "\t"), SignatureVerdict::Unsigned}, // its tail is the last field then
        };
        // clang-format on
        for (const auto& c : cases) {
            const QByteArray bytes = datagram + c.field + '\t';
            QCOMPARE(verdict(bytes), c.expected);
            QCOMPARE(checkDatagram(lanTextFromBytes(bytes), m_guard).verdict, c.expected);
        }
        QCOMPARE(verdict(field + '\t'), malformed); // a signature of nothing
    }

    // Any one byte changed anywhere: never taken.
    void changedBytesNeverValid()
    {
        const QByteArray genuine = sign(unsignedDatagrams().first());
        QRandomGenerator random(32);
        for (int i = 0; i < 3000; ++i) {
            QByteArray changed = genuine;
            const qsizetype at = random.bounded(changed.size());
            changed[at] = char(changed[at] ^ (1 + random.bounded(255)));
            QVERIFY(verdict(changed) != SignatureVerdict::Valid);
        }
    }

    // A signature that does not match what it came with: another datagram,
    // time, counter or signer.
    void badSignatures()
    {
        const QByteArray datagram = "10.0.0.1\tACK\t42\tdana\t";
        const QByteArray signedBytes = sign(datagram);
        const SignatureField field = splitSignedDatagram(signedBytes).field;
        SignatureField later = field, counted = field, otherKey = field;
        later.time += 1;
        counted.counter += 1;
        otherKey.key = KeyPair::generate().publicKey();
        for (const QByteArray& forged :
             {withField("10.0.0.1\tACK\t42\tdan\t", field), withField(datagram, later),
              withField(datagram, counted), withField(datagram, otherKey),
              withField("10.0.0.9\tACK\t42\tdana\t", field)})
            QCOMPARE(verdict(forged), SignatureVerdict::BadSignature);
        // None of them moved the guard.
        QCOMPARE(verdict(signedBytes), SignatureVerdict::Valid);
    }

    // Keys no signature can be checked with: zero, of small order, off the curve.
    void badKeys()
    {
        const QByteArray datagram = "10.0.0.1\tWHL\t";
        SignatureField field = splitSignedDatagram(sign(datagram)).field;
        PublicKey offCurve;
        offCurve.fill(0xFF);
        for (const PublicKey& key : {keyOf(0, 0), keyOf(1, 0), offCurve}) {
            field.key = key;
            QCOMPARE(verdict(withField(datagram, field)), SignatureVerdict::BadKey);
        }
    }

    // Outside the window of the clock's now either way; within it taken.
    void staleTimes()
    {
        const qint64 window = ReplayGuard::Limits{}.windowSeconds;
        const QByteArray past = sign("10.0.0.1\tWHL\t");
        const QByteArray edge = sign("10.0.0.1\tWHL\t");
        Clock::advance(window + 1);
        QCOMPARE(verdict(past), SignatureVerdict::Stale);
        const QByteArray future = sign("10.0.0.1\tWHL\t");
        Clock::advance(-2 * (window + 1));
        QCOMPARE(verdict(future), SignatureVerdict::Stale);
        Clock::advance(window + 1 + window);
        QCOMPARE(verdict(edge), SignatureVerdict::Valid);
    }

    // A datagram is taken once; out of order within the counters kept, yes;
    // older than all of them, no.
    void replays()
    {
        const qsizetype kept = ReplayGuard::Limits{}.countersPerKey;
        QList<QByteArray> sent;
        for (int i = 0; i < kept + 3; ++i)
            sent << sign("10.0.0.1\tWHL\t");
        QCOMPARE(verdict(sent[1]), SignatureVerdict::Valid);
        QCOMPARE(verdict(sent[1]), SignatureVerdict::Replayed);
        QCOMPARE(verdict(sent[0]), SignatureVerdict::Valid);
        QCOMPARE(verdict(sent[0]), SignatureVerdict::Replayed);
        for (qsizetype i = 3; i < sent.size(); ++i)
            QCOMPARE(verdict(sent[i]), SignatureVerdict::Valid);
        QCOMPARE(verdict(sent[2]), SignatureVerdict::Replayed); // older than every counter kept
    }

    // The signer refuses what would not be one datagram, or not a whole one.
    void signerLimits()
    {
        const QByteArray longest = "10.0.0.1\tWHL\t" +
                                   QByteArray(kMaxDatagramBytes - kSignatureFieldBytes - 14, 'x') +
                                   '\t';
        QCOMPARE(verdict(sign(longest)), SignatureVerdict::Valid);
        QVERIFY_THROWS_EXCEPTION(Failure, sign('x' + longest));
        QVERIFY_THROWS_EXCEPTION(Failure, sign("10.0.0.1\tWHL"));
        QCOMPARE(verdict(QByteArray(kMaxDatagramBytes + 1, '\t')), SignatureVerdict::Oversized);
        QCOMPARE(checkDatagram(QString(kMaxDatagramBytes + 1, u'\t'), m_guard).verdict,
                 SignatureVerdict::Oversized);
    }

    // Memory stays bounded; a key pushed out cannot have its old datagrams
    // replayed; once the window has passed, room is made without loss.
    void guardBounded()
    {
        ReplayGuard guard(ReplayGuard::Limits{3, 4, 300});
        const qint64 now = 1'000'000;
        for (unsigned char k = 1; k <= 10; ++k)
            guard.remember(keyOf(k, 0), now, 100, now);
        QCOMPARE(guard.keysRemembered(), qsizetype(3));
        QCOMPARE(guard.check(keyOf(1, 0), now, 99, now), ReplayGuard::Replayed);
        QCOMPARE(guard.check(keyOf(1, 0), now + 1, 101, now + 1), ReplayGuard::Fresh);
        guard.remember(keyOf(1, 0), now + 1, 101, now + 1);
        QCOMPARE(guard.check(keyOf(1, 0), now, 99, now + 1), ReplayGuard::Replayed);
        const qint64 later = now + 301;
        guard.remember(keyOf(20, 0), later, 1, later);
        QVERIFY(guard.knows(keyOf(1, 0)));
    }
};

QTEST_GUILESS_MAIN(TrustSignatureTest)
#include "tst_trust_signature.moc"
