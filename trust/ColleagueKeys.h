#pragma once

#include "trust/Keys.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The colleagues whose keys this installation knows: each nickname pinned to
// the key of the first signed datagram that named it (trust on first use),
// and whether the user confirmed the key by comparing fingerprints. Kept in
// a file beside the database, one line per colleague: nickname, TAB, the
// key's printable form, TAB, "1" when confirmed else "0". Both programs read
// it; Kalvex writes it, whole, under a private name put in place at once.
//
// Bounded: kMaxPinnedColleagues; a file line that does not read is skipped.
class ColleagueKeys
{
public:
    struct Colleague
    {
        QString nickname;
        PublicKey key{};
        bool confirmed = false;
    };

    explicit ColleagueKeys(const QString& path) : m_path(path) {}

    // Reads the file again; an absent file is no colleague. Gives false,
    // keeping what was known, when the file cannot be read.
    bool load();
    // Writes the file; throws Failure, in Hebrew, when it cannot.
    void save() const;

    std::optional<PublicKey> keyOf(const QString& nickname) const;
    const Colleague* find(const QString& nickname) const;
    // Whether a colleague is pinned to the key.
    bool isPinnedKey(const PublicKey& key) const;
    const QList<Colleague>& colleagues() const { return m_colleagues; }

    // Pins an unknown nickname to the key; false, changing nothing, when the
    // nickname is pinned already or the list is full.
    bool pin(const QString& nickname, const PublicKey& key);
    // The user compared the fingerprint; false for an unknown nickname.
    bool confirm(const QString& nickname);
    // The nickname's next signed datagram pins it anew (a colleague who was
    // given a new key); false for an unknown nickname.
    bool forget(const QString& nickname);

    const QString& path() const { return m_path; }

private:
    QString m_path;
    QList<Colleague> m_colleagues;
};

inline constexpr int kMaxPinnedColleagues = 1000;
