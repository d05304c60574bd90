#pragma once

#include "trust/ColleagueKeys.h"
#include "trust/Keys.h"

#include <QString>
#include <QStringList>

#include <optional>

// Who a received datagram speaks for. A signed datagram speaks for the
// nickname pinned to its key: the first signed datagram that names a
// nickname pins it (ColleagueKeys); one that names it with another key is
// refused, and the user told once in the log. An unsigned datagram (a
// Windows peer's) is taken in the policy "mixed" only, and never for a
// pinned colleague.

// The sender as its signature field shows it.
struct CheckedSender
{
    bool isSigned = false;
    PublicKey key{}; // when signed: checked, fresh, never seen before
};

// A received datagram's text before its signature field, and its sender.
struct CheckedDatagram
{
    QString text;
    CheckedSender sender;
};

// How long a broker keeps what arrives for a computer that is off: a signed
// datagram that came by the broker (source "mqtt:<user>") may be that old,
// where one from the LAN must lie within a few minutes of now; either is
// taken once only, whenever it comes again.
inline constexpr qint64 kBrokerKeepsSeconds = 30 * 24 * 3600;

// Checks the signature field against the replay guards; nothing when the
// datagram is dropped, counted in the log's summary with the reason: a
// malformed, oversized or wrong signature, a key that does not parse, a
// stale or replayed datagram, an unsigned one under the policy "signed".
std::optional<CheckedDatagram> checkSender(const QString& text, const QString& source);

// Whether the sender may act for the nickname (as author, recipient or
// announcer). pinNew: a signed sender of an unknown nickname pins it
// (false: it may act for it unpinned). A refusal is counted in the summary.
bool mayActFor(const CheckedSender& sender, const QString& nickname, bool pinNew,
               const QString& source);

// The colleagues this installation knows by key, read from their file at
// first use; changes through it are saved by the caller (saveColleagues).
ColleagueKeys& KnownColleagues();
// Writes the colleagues' file; false, logged, when it cannot be written.
bool saveColleagues();
// The colleague's next signed datagram pins the nickname anew, and a key
// refused for it is forgotten; saved. False for a nickname not pinned.
bool forgetColleague(const QString& nickname);

// The key last refused for a pinned nickname in this run, if any (at most
// one per pinned colleague).
std::optional<PublicKey> refusedKeyOf(const QString& nickname);
// The nicknames that a key was refused for in this run, sorted.
QStringList refusedNicknames();

// What the recipient list says of a colleague: "מפתח אחר נדחה" (another key
// came for the pinned nickname and was refused), "אומת" (pinned, its
// fingerprint confirmed by the user), "לא מאומת" (pinned at its first signed
// datagram), "Windows" (no signed datagram yet: a Windows peer).
QString colleagueState(const QString& nickname);

// Forgets the colleagues, the replay guards and the refusals told, so they
// are read again (the program directory changed).
void resetSenderTrust();
