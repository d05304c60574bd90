#include "lan/SendMissedCopies.h"

#include "common/Trapped.h"
#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "lan/SealedUpdate.h"
#include "lan/SendRUpdate.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "store/RowReader.h"
#include "store/ShareDates.h"

#include <QStringList>

namespace {

// The reminders the nickname still misses, as decimal RMain_Ids with commas
// between them.
QString missedIds(Database& db, const QString& nick)
{
    static const QString sql = Queries::missedBy();
    RowReader rows(db, sql, {nick, nick});
    QStringList ids;
    while (rows.next())
        ids << rows.value(0).toString();
    return ids.join(QLatin1Char(','));
}

} // namespace

void SendMissedCopies(const QString& nick, const QString& address)
{
    if (!LANOptSend)
        return;
    trapped(QStringLiteral("SendMissedCopies"), [&] {
        auto db = OpenReminderDb();
        EnsureShareDates(*db);
        const QString ids = missedIds(*db, nick);
        if (ids.isEmpty())
            return;
        for (Snapshot rows(*db, Queries::byIds(ids)); rows.hasCurrent(); rows.moveNext()) {
            const ReminderRecord r = ReminderRecord::read(rows);
            if (!MayResend(address, r.BroadcastId))
                continue;
            const QString recipients = r.SentTo.isEmpty() ? kAllRecipients : r.SentTo;
            SendLANMsg(SharedUpdateText(UpdateOf(r, recipients)), address);
        }
    });
}
