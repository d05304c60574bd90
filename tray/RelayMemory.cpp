#include "tray/RelayMemory.h"

#include <QCryptographicHash>

namespace {

QByteArray relayHash(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

void RelayMemory::forgetOld(qint64 nowMs)
{
    while (!m_entries.empty() &&
           (m_entries.size() > size_t(kMaxEntries) || nowMs - m_entries.front().atMs > kKeepMs)) {
        const Entry& old = m_entries.front();
        m_hashes.remove(old.hash);
        if (!old.lanAddress.isEmpty() && --m_fromMachine[old.lanAddress] == 0)
            m_fromMachine.remove(old.lanAddress);
        m_entries.pop_front();
    }
}

bool RelayMemory::carried(const QByteArray& bytes, qint64 nowMs)
{
    forgetOld(nowMs);
    return m_hashes.contains(relayHash(bytes));
}

bool RelayMemory::carry(const QByteArray& bytes, const QString& lanAddress, qint64 nowMs)
{
    forgetOld(nowMs);
    const QByteArray hash = relayHash(bytes);
    if (m_hashes.contains(hash))
        return false;
    m_hashes.insert(hash);
    m_entries.push_back({hash, lanAddress, nowMs});
    if (!lanAddress.isEmpty())
        ++m_fromMachine[lanAddress];
    forgetOld(nowMs);
    return true;
}

bool RelayMemory::heardFrom(const QString& lanAddress, qint64 nowMs)
{
    forgetOld(nowMs);
    return m_fromMachine.contains(lanAddress);
}
