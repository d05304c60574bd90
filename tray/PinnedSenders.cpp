#include "tray/PinnedSenders.h"

#include "trust/Fingerprint.h"
#include "trust/SignatureCheck.h"

#include <QFileInfo>

namespace {
constexpr int kLookGapMs = 1000;
}

PinnedSenders::PinnedSenders(const QString& colleaguesFile) : m_colleagues(colleaguesFile) {}

void PinnedSenders::reloadWhenChanged()
{
    if (m_lastLook.isValid() && m_lastLook.elapsed() < kLookGapMs)
        return;
    m_lastLook.start();
    const QDateTime fileTime = QFileInfo(m_colleagues.path()).lastModified();
    if (fileTime == m_fileTime)
        return;
    m_fileTime = fileTime;
    m_colleagues.load();
}

std::optional<QString> PinnedSenders::pinnedSigner(const QByteArray& bytes)
{
    const SplitDatagram split = splitSignedDatagram(bytes);
    if (split.state != SplitDatagram::Signed)
        return std::nullopt;
    reloadWhenChanged();
    if (!m_colleagues.isPinnedKey(split.field.key))
        return std::nullopt;
    if (checkSignature(split, m_guard).verdict != SignatureVerdict::Valid)
        return std::nullopt;
    return keyId(split.field.key);
}
