// A deterministic mutation driver for the datagram fuzz target, for machines without
// libFuzzer and the suite's short run: fuzz_lan_datagrams [iterations] [seed]. It
// prints its figures and fails when an input breaks an invariant.
#include "FuzzLanDatagram.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

// Field values that convert badly or barely.
static const QList<QByteArray> kTokens = {
    "",   "0",    "-1",           "2147483648",   "32768",
    "\r", "\xFF", "999999999999", "310220261200", QByteArray(51, 'c')};

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
    QList<QByteArray> corpus = FuzzLan::seeds();
    for (int i = 0; i < iterations; ++i) {
        const QByteArray input = mutate(corpus.at(int(rng.bounded(corpus.size()))), corpus, rng);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                               std::size_t(input.size()));
        if (corpus.size() < 500 && rng.bounded(10) == 0)
            corpus << input;
        const QString broken =
            i % 250 && i < iterations - 1 ? QString() : FuzzLan::brokenInvariant();
        if (!broken.isEmpty())
            return std::printf("FAIL after input %d (%s): %s\n", i, input.toHex().constData(),
                               qPrintable(broken)),
                   1;
    }
    std::printf("fuzz_lan_datagrams: %d inputs, corpus %lld, no invariant broken\n", iterations,
                qlonglong(corpus.size()));
}
