#include "lan/SendMissedCopies.h"

#include "common/Trapped.h"
#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "lan/SendRUpdate.h"
#include "store/Database.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "store/RowReader.h"
#include "store/ShareDates.h"
#include "store/ShareDeletions.h"
#include "store/ShareResends.h"

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
    Allowance(Database& db, const QString& address) : m_db(db), m_address(address) {}
    // Whether the reminder's update or deletion may go now (TakeResend); counts it when so.
    bool take(qint32 broadcastId, Resent what)
    {
        if (m_left == 0 || !TakeResend(m_db, m_address, broadcastId, what))
            return false;
        --m_left;
        return true;
    }
    bool spent() const { return m_left == 0; }

private:
    Database& m_db;
    const QString& m_address;
    int m_left = kMaxCatchUpSends;
};

// What the colleague missed, to his address, on the connection.
void sendMissed(Database& db, const QString& nick, const QString& address)
{
    EnsureShareDates(db);
    EnsureShareDeletions(db);
    EnsureShareResends(db);
    TrimShareResends(db);
    Allowance allowance(db, address);
    for (const QString& id : numbers(db, Queries::deletionsOwedTo(), {nick}))
        if (allowance.take(id.toInt(), Resent::Deletion))
            SendDELMsgTo(id.toInt(), address);
    const QString ids = numbers(db, Queries::missedBy(), {nick, nick}).join(QLatin1Char(','));
    if (ids.isEmpty() || allowance.spent())
        return;
    for (Snapshot rows(db, Queries::byIds(ids)); rows.hasCurrent(); rows.moveNext()) {
        const ReminderRecord r = ReminderRecord::read(rows);
        if (!allowance.take(r.BroadcastId, Resent::Update))
            continue;
        const QString recipients = r.SentTo.isEmpty() ? kAllRecipients : r.SentTo;
        SendLANMsg(BuildRUpdate(UpdateOf(r, recipients)), address);
    }
}

} // namespace

void SendMissedCopies(const QString& nick, const QString& address)
{
    if (!LANOptSend)
        return;
    trapped(QStringLiteral("SendMissedCopies"), [&] {
        auto db = OpenReminderDb();
        // The re-sends are noted together: one sync of the file for all of them.
        Transaction noted(*db);
        sendMissed(*db, nick, address);
        noted.commit();
    });
}
