#include "trust/ReplayGuard.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>

namespace {

QByteArray keyBytes(const PublicKey& key)
{
    return QByteArray(reinterpret_cast<const char*>(key.data()), key.size());
}

} // namespace

ReplayGuard::ReplayGuard(const Limits& limits)
    : m_limits{std::max<qsizetype>(limits.maxKeys, 1),
               std::max<qsizetype>(limits.countersPerKey, 1),
               std::max<qint64>(limits.windowSeconds, 1)}
{}

ReplayGuard::Result ReplayGuard::check(const PublicKey& key, qint64 time, quint64 counter,
                                       qint64 now) const
{
    if (time < now - m_limits.windowSeconds || time > now + m_limits.windowSeconds)
        return Stale;
    const auto seen = m_keys.constFind(keyBytes(key));
    if (seen == m_keys.cend())
        return time > m_forgottenUpTo ? Fresh : Replayed;
    if (time <= seen->forgottenUpTo)
        return Replayed;
    const std::vector<quint64>& counters = seen->counters;
    const bool full = qsizetype(counters.size()) >= m_limits.countersPerKey;
    if (full && counter < counters.front())
        return Replayed;
    return std::binary_search(counters.begin(), counters.end(), counter) ? Replayed : Fresh;
}

bool ReplayGuard::knows(const PublicKey& key) const
{
    return m_keys.contains(keyBytes(key));
}

void ReplayGuard::remember(const PublicKey& key, qint64 time, quint64 counter, qint64 now)
{
    const QByteArray name = keyBytes(key);
    if (!m_keys.contains(name)) {
        makeRoom(now);
        m_keys[name].forgottenUpTo = m_forgottenUpTo;
    }
    Seen& seen = m_keys[name];
    std::vector<quint64>& counters = seen.counters;
    counters.insert(std::upper_bound(counters.begin(), counters.end(), counter), counter);
    if (qsizetype(counters.size()) > m_limits.countersPerKey)
        counters.erase(counters.begin());
    seen.latestTime = std::max(seen.latestTime, time);
    seen.lastUse = ++m_uses;
}

void ReplayGuard::makeRoom(qint64 now)
{
    if (m_keys.size() < m_limits.maxKeys)
        return;
    // Every datagram of such a key would be stale now.
    m_keys.removeIf(
        [&](const auto& entry) { return entry.value().latestTime < now - m_limits.windowSeconds; });
    if (m_keys.size() < m_limits.maxKeys)
        return;
    const auto oldest =
        std::min_element(m_keys.begin(), m_keys.end(),
                         [](const Seen& a, const Seen& b) { return a.lastUse < b.lastUse; });
    m_forgottenUpTo = std::max(m_forgottenUpTo, oldest->latestTime);
    m_keys.erase(oldest);
}

namespace {
constexpr quint32 kSavedVersion = 1;
}

QByteArray ReplayGuard::save() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kSavedVersion << m_forgottenUpTo << m_uses << quint32(m_keys.size());
    for (auto seen = m_keys.cbegin(); seen != m_keys.cend(); ++seen) {
        out << seen.key() << seen->latestTime << seen->forgottenUpTo << seen->lastUse
            << quint32(seen->counters.size());
        for (quint64 counter : seen->counters)
            out << counter;
    }
    return bytes;
}

bool ReplayGuard::load(const QByteArray& bytes)
{
    QDataStream in(bytes);
    quint32 version = 0, keys = 0;
    qint64 forgottenUpTo = 0;
    quint64 uses = 0;
    in >> version >> forgottenUpTo >> uses >> keys;
    QHash<QByteArray, Seen> loaded;
    for (quint32 k = 0; k < keys && in.status() == QDataStream::Ok; ++k) {
        QByteArray name;
        Seen seen;
        quint32 count = 0;
        in >> name >> seen.latestTime >> seen.forgottenUpTo >> seen.lastUse >> count;
        for (quint32 c = 0; c < count && in.status() == QDataStream::Ok; ++c) {
            quint64 counter = 0;
            in >> counter;
            seen.counters.push_back(counter);
        }
        std::sort(seen.counters.begin(), seen.counters.end());
        if (qsizetype(seen.counters.size()) > m_limits.countersPerKey)
            seen.counters.erase(seen.counters.begin(),
                                seen.counters.end() - m_limits.countersPerKey);
        if (name.size() == qsizetype(PublicKey{}.size()) && loaded.size() < m_limits.maxKeys)
            loaded.insert(name, std::move(seen));
    }
    if (version != kSavedVersion || in.status() != QDataStream::Ok || !in.atEnd())
        return false;
    m_keys = std::move(loaded);
    m_forgottenUpTo = forgottenUpTo;
    m_uses = uses;
    return true;
}
