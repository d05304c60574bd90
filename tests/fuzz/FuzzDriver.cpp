// A deterministic mutation driver for the datagram fuzz target, for machines
// without libFuzzer and for the short run of the test suite:
//     fuzz_lan_datagrams [iterations] [seed]
// It prints its figures and fails when an input breaks an invariant.
#include "FuzzLanDatagram.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

namespace {

// clang-format off
const QList<QByteArray> kTokens = {"", "0", "-1", "2147483648", "-2147483649", "32768", "True",
                                   "False", "ALL", "\r", "\t", "\xFF", "\x81", "999999999999",
                                   "310220261200", QByteArray(51, 'c'), QByteArray(300, 'n')};
// clang-format on

QByteArray mutate(QByteArray input, const QList<QByteArray>& corpus, QRandomGenerator& rng)
{
    const int steps = 1 + int(rng.bounded(4));
    for (int s = 0; s < steps; ++s) {
        const int at = input.isEmpty() ? 0 : int(rng.bounded(input.size()));
        switch (rng.bounded(7)) {
        case 0: // a byte, any value
            if (!input.isEmpty())
                input[at] = char(rng.bounded(256));
            break;
        case 1: // a field boundary more
            input.insert(at, '\t');
            break;
        case 2: // a range less
            input.remove(at, int(rng.bounded(8)) + 1);
            break;
        case 3: // a range twice
            input.insert(at, input.mid(at, int(rng.bounded(16)) + 1));
            break;
        case 4: // cut short
            input.truncate(at);
            break;
        case 5: // a field replaced by a token that converts badly or barely
        {
            const int end = input.indexOf('\t', at);
            input.replace(at, (end < 0 ? input.size() : end) - at,
                          kTokens.at(int(rng.bounded(kTokens.size()))));
            break;
        }
        default: // the tail of another input
            input = input.left(at) + corpus.at(int(rng.bounded(corpus.size()))).mid(at);
        }
    }
    return input;
}

void feed(const QByteArray& input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                           std::size_t(input.size()));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int iterations = argc > 1 ? QByteArray(argv[1]).toInt() : 3000;
    QRandomGenerator rng(argc > 2 ? QByteArray(argv[2]).toUInt() : 1u);
    QList<QByteArray> corpus = FuzzLan::seeds();
    QElapsedTimer clock;
    clock.start();
    int maxCopies = 0;
    for (int i = 0; i < iterations; ++i) {
        const QByteArray input = mutate(corpus.at(int(rng.bounded(corpus.size()))), corpus, rng);
        feed(input);
        if (corpus.size() < 500 && rng.bounded(10) == 0)
            corpus << input;
        maxCopies = qMax(maxCopies, FuzzLan::storedCopies());
        if (i % 250 == 0 || i == iterations - 1) {
            const QString broken = FuzzLan::brokenInvariant();
            if (!broken.isEmpty()) {
                std::printf("FAIL after input %d (%s): %s\n", i, input.toHex().constData(),
                            qPrintable(broken));
                return 1;
            }
        }
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("fuzz_lan_datagrams: %d inputs in %.1f s (%.0f/s), corpus %lld, up to %d copies "
                "stored, no invariant broken\n",
                iterations, seconds, iterations / seconds, qlonglong(corpus.size()), maxCopies);
    return 0;
}
