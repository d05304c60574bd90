// Prints what signing, checking and sealing cost per datagram beside their
// targets. Asserts nothing.
#include "common/LanText.h"
#include "trust/DatagramSigner.h"
#include "trust/SealedBox.h"
#include "trust/SealedShare.h"
#include "trust/SignatureCheck.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// An update as the release before sends it: about 300 bytes.
QByteArray typicalUpdate()
{
    const QString text = QStringLiteral(
        "192.168.1.23\tUPD\tדנה\rיוסי\r\t-1734128512\tישיבת צוות שבועית בחדר הישיבות הגדול\t"
        "051220261430\t1\t10\tלהביא את דוח ההתקדמות של הרבעון, את תוכנית העבודה לשנה הבאה "
        "ואת רשימת המשימות הפתוחות. לתאם עם מחלקת הכספים לפני הישיבה.\tTrue\t0\t0\tFalse\t0\t0\t0\t"
        "051220261430\tTrue\tמשה\t");
    return lanBytesFromText(text);
}

// The largest update that still fits one datagram with its signature: a detail of about 60 KB.
QByteArray largeUpdate()
{
    QByteArray bytes = typicalUpdate();
    bytes.insert(bytes.indexOf("\tTrue\t"), QByteArray(60 * 1024, 'x'));
    return bytes;
}

qint64 threadCpuNanos()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Microseconds each, of the clock on the wall and of this thread's processor
// time (less moved by other work on a shared machine).
struct Cost
{
    double wall;
    double cpu;
};

Cost microsEach(int count, const std::function<void(int)>& work)
{
    QElapsedTimer timer;
    timer.start();
    const qint64 cpuStart = threadCpuNanos();
    for (int i = 0; i < count; ++i)
        work(i);
    return {double(timer.nsecsElapsed()) / 1e3 / count,
            double(threadCpuNanos() - cpuStart) / 1e3 / count};
}

void report(const char* what, Cost cost, const char* target)
{
    std::printf("%-46s %8.1f us wall %8.1f us cpu   (target %s)\n", what, cost.wall, cost.cpu,
                target);
}

void signAndCheck(const char* name, const QByteArray& datagram, int count, DatagramSigner& signer,
                  const char* target)
{
    QList<QByteArray> signedOnes(count);
    const Cost sign = microsEach(count, [&](int i) { signedOnes[i] = signer.sign(datagram); });
    ReplayGuard guard;
    int valid = 0;
    const Cost check = microsEach(count, [&](int i) {
        valid += checkDatagram(signedOnes[i], guard).verdict == SignatureVerdict::Valid;
    });
    std::printf("%s: %lld bytes unsigned, %lld signed; %d of %d valid\n", name,
                qlonglong(datagram.size()), qlonglong(signedOnes[0].size()), valid, count);
    report("  sign", sign, target);
    report("  check (known key)", check, target);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    DatagramSigner signer(KeyPair::generate(), dir.filePath(QStringLiteral("counter")));
    signAndCheck("typical update", typicalUpdate(), 5000, signer, "< 100 us");
    signAndCheck("60 KB update", largeUpdate(), 300, signer, "none; for comparison");

    const PublicKey key = signer.keys().publicKey();
    report("key point check (first datagram of a key)",
           microsEach(5000, [&](int) { isUsableKey(key); }), "none");

    const QByteArray content = typicalUpdate();
    QByteArray sealed;
    report("seal a typical update for one recipient",
           microsEach(2000, [&](int) { sealed = sealFor(content, key); }), "none");
    report("open it", microsEach(2000, [&](int) { openSealed(sealed, signer.keys()); }), "none");
    QList<PublicKey> ten;
    for (int i = 0; i < 9; ++i)
        ten << KeyPair::generate().publicKey();
    ten << key;
    SealedShare share;
    report("seal a typical update for 10 recipients",
           microsEach(500, [&](int) { share = sealForMany(content, ten); }), "none");
    report("open it as the 10th (trying each key)",
           microsEach(500, [&](int) { openShare(share, signer.keys()); }), "none");
    return 0;
}
