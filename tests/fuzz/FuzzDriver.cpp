// Deterministic mutations for the datagram fuzz target, without libFuzzer and for the suite's
// short run: fuzz_lan_datagrams [iterations] [seed]; fails when an input breaks an invariant.
#include "store/ReminderDb.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

// Field values that convert badly or barely.
static const QList<QByteArray> kTokens = {
    "",   "0",    "-1",           "2147483648",   "32768",
    "\r", "\xFF", "999999999999", "310220261200", QByteArray(51, 'c')};

// One valid datagram of each kind, after the sender field.
static QList<QByteArray> seeds()
{
    return {"UPD\tALL\t123456\t\xF4\xE2\xE9\xF9\xE4\t051220261430\t2\t100\tline 1\r\nline 2\tTrue\t"
            "3\t2\tTrue\t5\t1\t0\t311220262359\tFalse\t\xE3\xF0\xE4\t",
            "UPD\tbeta\ralpha\r\t-9\tx\t010120270900\t0\t20\t\tTrue\t4\t1\tFalse\t0\t8\t4\t"
            "010120270900\tTrue\t\t",
            "DEL\t123456\t",
            "ACK\t4242\tgamma\t",
            "WHL\t",
            "IAM\tgamma\t"};
}

// The first broken rule, or empty: received copies are storable, and the reminder this
// installation wrote is untouched but for acknowledgements.
static QString brokenInvariant()
{
    auto db = OpenReminderDb();
    if (db->scalar("PRAGMA integrity_check").toString() != QLatin1String("ok"))
        return QStringLiteral("database integrity");
    if (db->scalar("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 0 AND (BroadcastId = 0 OR "
                   "RNext <> RDate OR length(RCaption) > 50 OR RImportance NOT IN (0, 1, 2) OR "
                   "Adv_WeekDay NOT BETWEEN 0 AND 127)")
            .toInt() != 0)
        return QStringLiteral("a stored copy that could not have been sent");
    if (db->scalar("SELECT COUNT(*) FROM Main_tbl WHERE IAMAuthor = 1 AND RCaption = 'mine' AND "
                   "BroadcastId = 4242")
            .toInt() != 1)
        return QStringLiteral("the authored reminder changed");
    return QString();
}

static QByteArray mutate(QByteArray in, const QList<QByteArray>& corpus, QRandomGenerator& rng)
{
    for (int steps = 1 + int(rng.bounded(4)); steps > 0; --steps) {
        const int at = in.isEmpty() ? 0 : int(rng.bounded(in.size()));
        const int end = in.indexOf('\t', at);
        switch (rng.bounded(5)) {
        case 0: // a byte, any value, or a field boundary more
            in.insert(at, rng.bounded(2) ? '\t' : char(rng.bounded(256)));
            break;
        case 1: // a range less
            in.remove(at, int(rng.bounded(8)) + 1);
            break;
        case 2: // a range twice
            in.insert(at, in.mid(at, int(rng.bounded(16)) + 1));
            break;
        case 3: // a field replaced by a token
            in.replace(at, (end < 0 ? in.size() : end) - at,
                       kTokens.at(int(rng.bounded(kTokens.size()))));
            break;
        default: // cut short, or the tail of another input
            in = in.left(at) +
                 (rng.bounded(2) ? corpus.at(int(rng.bounded(corpus.size()))).mid(at) : "");
        }
    }
    return in;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int iterations = argc > 1 ? QByteArray(argv[1]).toInt() : 3000;
    QRandomGenerator rng(argc > 2 ? QByteArray(argv[2]).toUInt() : 1u);
    QList<QByteArray> corpus = seeds();
    for (int i = 0; i < iterations; ++i) {
        const QByteArray input = mutate(corpus.at(int(rng.bounded(corpus.size()))), corpus, rng);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                               std::size_t(input.size()));
        if (corpus.size() < 500 && rng.bounded(10) == 0)
            corpus << input;
        if (const QString broken = i % 250 && i < iterations - 1 ? "" : brokenInvariant();
            !broken.isEmpty())
            return std::printf("FAIL after input %d (%s): %s\n", i, input.toHex().constData(),
                               qPrintable(broken)),
                   1;
    }
    std::printf("fuzz_lan_datagrams: %d inputs, corpus %lld, no invariant broken\n", iterations,
                qlonglong(corpus.size()));
}
