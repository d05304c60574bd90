#include "lan/SenderTrust.h"

#include "lan/SharedArrivals.h"

#include "broker/BrokerTopics.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "store/LanSettings.h"
#include "trust/Fingerprint.h"
#include "trust/ReplayGuard.h"
#include "trust/SignatureCheck.h"
#include "trust/TrustFiles.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTimer>

#include <memory>

namespace {

struct TrustState
{
    ColleagueKeys colleagues{TrustFiles::colleaguesFile()};
    // Pinned colleagues have a guard of their own: a flood of new keys
    // cannot push them out of it.
    ReplayGuard pinnedGuard;
    ReplayGuard othersGuard;
    // The key last refused for each pinned nickname: bounded as the pins are.
    QHash<QString, PublicKey> refusedKeys;
    // A broker keeps what arrives while this computer is off, for days: such
    // datagrams come later than the window. Every datagram taken is
    // remembered here too, over the program's end (its file), so that none
    // is taken twice, whenever it comes again.
    ReplayGuard keptGuard{{256, 256, kBrokerKeepsSeconds}};
    bool keptSaveDue = false;
};

std::unique_ptr<TrustState> g_state;

void loadKept(TrustState& s)
{
    QFile file(TrustFiles::keptCountersFile());
    if (file.exists() && (!file.open(QIODevice::ReadOnly) || !s.keptGuard.load(file.readAll())))
        WriteLog(QStringLiteral("לא ניתן לקרוא את זיכרון ההודעות שהתקבלו מהקובץ ") +
                     file.fileName(),
                 LogError);
}

TrustState& state()
{
    if (!g_state) {
        g_state = std::make_unique<TrustState>();
        loadKept(*g_state);
        if (!g_state->colleagues.load())
            WriteLog(QStringLiteral("לא ניתן לקרוא את מפתחות העמיתים מהקובץ ") +
                         g_state->colleagues.path(),
                     LogError);
    }
    return *g_state;
}

void saveKept()
{
    if (!g_state || !g_state->keptSaveDue)
        return;
    g_state->keptSaveDue = false;
    trapped(QStringLiteral("saveKept"), [] {
        QSaveFile file(TrustFiles::keptCountersFile());
        if (!file.open(QIODevice::WriteOnly) || file.write(g_state->keptGuard.save()) < 0 ||
            !file.commit())
            throw Failure(file.errorString() + QStringLiteral(": ") + file.fileName());
    });
}

// Once for all the datagrams of a batch.
void saveKeptSoon(TrustState& s)
{
    if (std::exchange(s.keptSaveDue, true))
        return;
    QTimer::singleShot(0, [] { saveKept(); });
}

// The address a datagram came from names nobody: it may be faked.
void countDropped(const QString& why, const QString& source)
{
    CountForLog(QStringLiteral("LAN: dropped %1 datagrams from %2: ") + why,
                QStringLiteral("unverified ") + source);
}

// Told once per nickname in a run, however many keys a forger tries; the
// recipient list shows the key refused last.
void tellRefusalOnce(const QString& nickname, const PublicKey& key)
{
    const bool told = state().refusedKeys.contains(nickname);
    state().refusedKeys.insert(nickname, key);
    if (told)
        return;
    WriteLog(QStringLiteral("הודעות בשם העמית \"%1\" נחתמו במפתח אחר (%2) מזה שנשמר לו: "
                            "הן נדחות. אם קיבל מפתח חדש, בחר \"שכח\" ליד שמו ברשימת הנמענים")
                 .arg(nickname, keyId(key)),
             LogError);
    NoteSharedArrival({SharedArrival::Refused, 0, nickname,
                       QStringLiteral("חתומה במפתח אחר מזה שנשמר לעמית"), Clock::now()});
}

} // namespace

std::optional<CheckedDatagram> checkSender(const QString& text, const QString& source)
{
    const SplitDatagram split = splitSignedDatagram(text);
    if (split.state == SplitDatagram::Unsigned) {
        if (LANTrust == LanTrust::Signed) {
            countDropped(QStringLiteral("unsigned, and only signed datagrams are taken"), source);
            return std::nullopt;
        }
        return CheckedDatagram{text, {}};
    }
    TrustState& s = state();
    const qint64 now = Clock::secondsSinceEpoch();
    const bool keptByBroker = split.state == SplitDatagram::Signed &&
                              BrokerTopics::isBrokerSource(source) &&
                              split.field.time < now - ReplayGuard::Limits{}.windowSeconds;
    const bool pinned =
        split.state == SplitDatagram::Signed && s.colleagues.isPinnedKey(split.field.key);
    // A colleague's datagrams taken before the pin are in the other guard.
    const bool takenUnpinned =
        pinned && s.othersGuard.check(split.field.key, split.field.time, split.field.counter,
                                      Clock::secondsSinceEpoch()) == ReplayGuard::Replayed;
    const SignatureCheck check =
        keptByBroker    ? checkSignature(split, s.keptGuard)
        : takenUnpinned ? SignatureCheck{SignatureVerdict::Replayed}
                        : checkSignature(split, pinned ? s.pinnedGuard : s.othersGuard);
    if (check.verdict != SignatureVerdict::Valid) {
        countDropped(verdictReason(check.verdict), source);
        return std::nullopt;
    }
    if (!keptByBroker)
        s.keptGuard.remember(check.key, check.time, check.counter, now);
    saveKeptSoon(s);
    return CheckedDatagram{unsignedText(text, split), {true, check.key}};
}

bool mayActFor(const CheckedSender& sender, const QString& nickname, bool pinNew,
               const QString& source)
{
    ColleagueKeys& colleagues = state().colleagues;
    const std::optional<PublicKey> pinned = colleagues.keyOf(nickname);
    if (!sender.isSigned) {
        if (pinned)
            countDropped(QStringLiteral("unsigned, for a colleague known by key"), source);
        return !pinned;
    }
    if (pinned) {
        if (*pinned == sender.key)
            return true;
        tellRefusalOnce(nickname, sender.key);
        countDropped(QStringLiteral("signed with a key other than the colleague's"), source);
        return false;
    }
    if (pinNew && colleagues.pin(nickname, sender.key)) {
        saveColleagues();
        WriteLog(QStringLiteral("עמית חדש \"%1\" נשמר עם מפתחו, טביעת אצבע %2")
                     .arg(nickname, keyFingerprint(sender.key)),
                 LogInformation);
    }
    return true;
}

ColleagueKeys& KnownColleagues()
{
    return state().colleagues;
}

bool saveColleagues()
{
    return trapped(QStringLiteral("saveColleagues"), [] { state().colleagues.save(); });
}

bool forgetColleague(const QString& nickname)
{
    state().refusedKeys.remove(nickname);
    return state().colleagues.forget(nickname) && saveColleagues();
}

std::optional<PublicKey> refusedKeyOf(const QString& nickname)
{
    const auto refused = state().refusedKeys.constFind(nickname);
    if (refused == state().refusedKeys.cend())
        return std::nullopt;
    return *refused;
}

QStringList refusedNicknames()
{
    QStringList names = state().refusedKeys.keys();
    names.sort();
    return names;
}

QString colleagueState(const QString& nickname)
{
    const ColleagueKeys::Colleague* colleague = state().colleagues.find(nickname);
    if (!colleague)
        return QStringLiteral("Windows");
    if (state().refusedKeys.contains(nickname))
        return QStringLiteral("מפתח אחר נדחה");
    return colleague->confirmed ? QStringLiteral("אומת") : QStringLiteral("לא מאומת");
}

void resetSenderTrust()
{
    saveKept();
    g_state.reset();
}
