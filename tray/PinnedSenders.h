#pragma once

#include "trust/ColleagueKeys.h"
#include "trust/ReplayGuard.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

#include <optional>

// The colleagues Kalvex knows by key (their file, read again when it
// changes, looked at once a second at most), for the receiver to tell a
// datagram a pinned colleague signed from the rest before it is queued: such
// a one is held to its colleague's own rate, not its address's, so no flood
// with a faked address can silence a colleague.
class PinnedSenders
{
public:
    explicit PinnedSenders(const QString& colleaguesFile);

    // The id of the pinned key whose valid, fresh signature the datagram
    // bears; nothing for any other datagram (Kalvex tells why it drops one).
    std::optional<QString> pinnedSigner(const QByteArray& bytes);

private:
    void reloadWhenChanged();

    ColleagueKeys m_colleagues;
    ReplayGuard m_guard;
    QElapsedTimer m_lastLook;
    QDateTime m_fileTime;
};
