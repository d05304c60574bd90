#include "tray/SenderRates.h"

#include <QElapsedTimer>

#include <algorithm>
#include <memory>

namespace {

// Addresses followed at once; when more send, the idle ones are forgotten
// and, should that not do, the newcomers share one bucket.
constexpr qsizetype kMaxAddresses = 4096;
const QString kOthers = QStringLiteral("(other addresses)");

} // namespace

SenderRates::SenderRates(std::function<qint64()> msNow) : m_msNow(std::move(msNow))
{
    if (!m_msNow) {
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        m_msNow = [clock] { return clock->elapsed(); };
    }
}

void SenderRates::refill(Bucket& bucket, qint64 now)
{
    const double seconds = double(now - bucket.atMs) / 1000.0;
    bucket.datagrams =
        std::min<double>(kBurstDatagrams, bucket.datagrams + seconds * kDatagramsPerSecond);
    bucket.bytes =
        std::min<double>(double(kBurstBytes), bucket.bytes + seconds * double(kBytesPerSecond));
    bucket.atMs = now;
}

SenderRates::Bucket& SenderRates::bucketOf(const QString& address, qint64 now)
{
    QString key = address;
    if (!m_buckets.contains(key) && m_buckets.size() >= kMaxAddresses) {
        m_buckets.removeIf([now](auto entry) {
            refill(entry.value(), now);
            return entry.value().datagrams >= kBurstDatagrams &&
                   entry.value().bytes >= double(kBurstBytes);
        });
        if (m_buckets.size() >= kMaxAddresses)
            key = kOthers;
    }
    auto found = m_buckets.find(key);
    if (found == m_buckets.end())
        found = m_buckets.insert(key, Bucket{kBurstDatagrams, double(kBurstBytes), now});
    return *found;
}

bool SenderRates::admit(const QString& address, qint64 bytes)
{
    const qint64 now = m_msNow();
    Bucket& bucket = bucketOf(address, now);
    refill(bucket, now);
    if (bucket.datagrams < 1.0 || bucket.bytes < double(bytes))
        return false;
    bucket.datagrams -= 1.0;
    bucket.bytes -= double(bytes);
    return true;
}
