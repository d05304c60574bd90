#include "lan/SendMissedCopies.h"

#include "common/Trapped.h"
#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "lan/SendRUpdate.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "store/RowReader.h"
#include "store/ShareDates.h"
#include "store/ShareDeletions.h"

#include <QStringList>

namespace {

// The first column of the query's rows, as decimal numbers.
QStringList numbers(Database& db, const QString& sql, const QVariantList& params)
{
    RowReader rows(db, sql, params);
    QStringList values;
    while (rows.next())
        values << rows.value(0).toString();
    return values;
}

// What one catch-up may still send.
class Allowance
{
public:
    explicit Allowance(const QString& address) : m_address(address) {}
    // Whether the reminder's update or deletion may go now (MayResend); counts it when so.
    bool take(qint32 broadcastId, Resent what)
    {
        if (m_left == 0 || !MayResend(m_address, broadcastId, what))
            return false;
        --m_left;
        return true;
    }
    bool spent() const { return m_left == 0; }

private:
    const QString& m_address;
    int m_left = kMaxCatchUpSends;
};

} // namespace

void SendMissedCopies(const QString& nick, const QString& address)
{
    if (!LANOptSend)
        return;
    trapped(QStringLiteral("SendMissedCopies"), [&] {
        auto db = OpenReminderDb();
        EnsureShareDates(*db);
        EnsureShareDeletions(*db);
        Allowance allowance(address);
        for (const QString& id : numbers(*db, Queries::deletionsOwedTo(), {nick}))
            if (allowance.take(id.toInt(), Resent::Deletion))
                SendDELMsgTo(id.toInt(), address);
        const QString ids = numbers(*db, Queries::missedBy(), {nick, nick}).join(QLatin1Char(','));
        if (ids.isEmpty() || allowance.spent())
            return;
        for (Snapshot rows(*db, Queries::byIds(ids)); rows.hasCurrent(); rows.moveNext()) {
            const ReminderRecord r = ReminderRecord::read(rows);
            if (!allowance.take(r.BroadcastId, Resent::Update))
                continue;
            const QString recipients = r.SentTo.isEmpty() ? kAllRecipients : r.SentTo;
            SendLANMsg(BuildRUpdate(UpdateOf(r, recipients)), address);
        }
    });
}
