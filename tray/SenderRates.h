#pragma once

#include <QHash>
#include <QString>

#include <functional>

// The rate each sending address is held to: a token bucket of datagrams
// and one of bytes. A full bucket takes a burst at once; it fills again at
// the sustained rate. Figures and why: the README's "LAN limits".
inline constexpr int kBurstDatagrams = 1000;
inline constexpr int kDatagramsPerSecond = 20;
inline constexpr qint64 kBurstBytes = 4 * 1024 * 1024;
inline constexpr qint64 kBytesPerSecond = 128 * 1024;

class SenderRates
{
public:
    // msNow: a monotonic count of milliseconds (the default: this process's).
    explicit SenderRates(std::function<qint64()> msNow = {});

    // True when the address may send a datagram of that many bytes now; it
    // is then counted against the address.
    bool admit(const QString& address, qint64 bytes);

private:
    struct Bucket
    {
        double datagrams = kBurstDatagrams;
        double bytes = double(kBurstBytes);
        qint64 atMs = 0;
    };
    Bucket& bucketOf(const QString& address, qint64 now);
    static void refill(Bucket& bucket, qint64 now);

    std::function<qint64()> m_msNow;
    QHash<QString, Bucket> m_buckets;
};
