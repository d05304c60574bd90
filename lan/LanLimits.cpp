#include "lan/LanLimits.h"

#include "platform/Clock.h"
#include "store/Queries.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "store/RowReader.h"

#include <QElapsedTimer>
#include <QHash>

#include <cmath>
#include <optional>

namespace {

// A monotonic count of milliseconds for this process.
qint64 msNow()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

constexpr qint64 kHoldingValidMs = 60 * 1000;
constexpr double kSecondsPerDay = 24 * 60 * 60;
// Authors and addresses remembered at once; beyond, the oldest knowledge goes.
constexpr qsizetype kMaxRemembered = 4096;

struct Holding
{
    qint64 copies = 0;
    qint64 chars = 0;
    qint64 readAtMs = 0;
};

QHash<QString, Holding>& holdings()
{
    static QHash<QString, Holding> byAuthor;
    return byAuthor;
}

Holding readHolding(Database& db, const QString& author)
{
    RowReader rows(db, Queries::copyHolding(author.isEmpty()),
                   author.isEmpty() ? QVariantList() : QVariantList{author});
    rows.next();
    return {rows.value(0).toLongLong(), qint64(rows.value(1).toDouble()), msNow()};
}

Holding& holdingOf(Database& db, const QString& author)
{
    QHash<QString, Holding>& known = holdings();
    auto found = known.find(author);
    if (found != known.end() && msNow() - found->readAtMs < kHoldingValidMs)
        return *found;
    if (found == known.end() && known.size() >= kMaxRemembered)
        known.clear();
    return known[author] = readHolding(db, author);
}

// Lets the key through unless it went through less than gap ago (a clock set
// back counts as long ago), and remembers when. With max keys through within
// the gap, none more: a forged flood is left unanswered.
template <typename Key>
bool letThrough(QHash<Key, qint64>& throughAt, const Key& key, qint64 now, qint64 gap,
                qsizetype max)
{
    const auto recent = [now, gap](qint64 at) { return now >= at && now - at < gap; };
    if (const auto found = throughAt.constFind(key); found != throughAt.cend() && recent(*found))
        return false;
    if (throughAt.size() >= max) {
        throughAt.removeIf([&](const auto& entry) { return !recent(entry.value()); });
        if (throughAt.size() >= max)
            return false;
    }
    throughAt.insert(key, now);
    return true;
}

} // namespace

bool AdmitCopy(const ReminderRecord& copy, const std::optional<ReminderRecord>& before)
{
    const auto textChars = [](const ReminderRecord& r) {
        return qint64(r.RCaption.size() + r.RDetail.size());
    };
    const bool sameAuthor = before && before->RAuthor == copy.RAuthor;
    auto db = OpenReminderDb();
    Holding& holding = holdingOf(*db, copy.RAuthor);
    const qint64 copies = holding.copies + (sameAuthor ? 0 : 1);
    const qint64 held = holding.chars + textChars(copy) - (sameAuthor ? textChars(*before) : 0);
    const bool grows = copies > holding.copies || held > holding.chars;
    if (grows && (copies > kMaxCopiesPerAuthor || held > kMaxCharsPerAuthor))
        return false;
    holding.copies = copies;
    holding.chars = held;
    if (before && !sameAuthor)
        ForgetAuthor(before->RAuthor);
    return true;
}

void ForgetAuthor(const QString& author)
{
    holdings().remove(author);
}

bool MayAnswerWhl(const QString& address)
{
    static QHash<QString, qint64> answeredAtMs;
    return letThrough(answeredAtMs, address, msNow(), kWhlAnswerGapMs, kMaxRemembered);
}

bool MayNoteColleague(const QString& nick, const QString& address)
{
    static QHash<std::pair<QString, QString>, qint64> notedAtS;
    // On the clock, as the re-sends it brings about are paced.
    const qint64 now = std::llround(Clock::now().serial() * kSecondsPerDay);
    return letThrough(notedAtS, std::pair(nick, address), now, kNoteColleagueGapS, kMaxRemembered);
}
