#include "store/ShareResends.h"

#include "platform/Clock.h"
#include "store/Database.h"
#include "store/RowReader.h"
#include "store/ShareDates.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSecondsPerDay = 24 * 60 * 60;

qint64 secondsNow()
{
    return std::llround(Clock::now().serial() * kSecondsPerDay);
}

} // namespace

qint64 ResendGapS(int times)
{
    if (times <= 0)
        return 0;
    // Doubling past a day's worth of minutes would only overflow.
    const int doublings = std::min(times - 1, 20);
    return std::min(kFirstResendGapS << doublings, kMaxResendGapS);
}

void EnsureShareResends(Database& db)
{
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Resent_tbl (BroadcastId INTEGER NOT NULL, "
                           "Address TEXT NOT NULL, Kind INTEGER NOT NULL, ResentAt REAL NOT "
                           "NULL, Times INTEGER NOT NULL, PRIMARY KEY (BroadcastId, Address, "
                           "Kind))"));
}

bool TakeResend(Database& db, const QString& address, qint32 broadcastId, Resent what)
{
    const QVariantList key{broadcastId, address, int(what)};
    int times = 0;
    {
        RowReader rows(db,
                       QStringLiteral("SELECT ResentAt, Times FROM Resent_tbl WHERE "
                                      "BroadcastId = ? AND Address = ? AND Kind = ?"),
                       key);
        if (rows.next()) {
            const qint64 now = secondsNow();
            const qint64 at = std::llround(rows.value(0).toDouble() * kSecondsPerDay);
            times = rows.value(1).toInt();
            if (now >= at && now - at < ResendGapS(times))
                return false;
        }
    }
    db.execute(QStringLiteral("INSERT OR REPLACE INTO Resent_tbl (BroadcastId, Address, Kind, "
                              "ResentAt, Times) VALUES (?, ?, ?, ?, ?)"),
               key + QVariantList{Clock::now().serial(), times + 1});
    return true;
}

void ForgetResends(Database& db, qint32 broadcastId)
{
    EnsureShareResends(db);
    db.execute(QStringLiteral("DELETE FROM Resent_tbl WHERE BroadcastId = ?"), {broadcastId});
}

void TrimShareResends(Database& db)
{
    // The moment bound once: Now() for each row would read the clock for each.
    db.execute(QStringLiteral("DELETE FROM Resent_tbl WHERE ResentAt < ?"),
               {Clock::now().serial() - kShareMemoryDays});
    db.execute(QStringLiteral("DELETE FROM Resent_tbl WHERE rowid IN (SELECT rowid FROM "
                              "Resent_tbl ORDER BY ResentAt LIMIT MAX(0, (SELECT COUNT(*) FROM "
                              "Resent_tbl) - ?))"),
               {kMaxResendsKept});
}
