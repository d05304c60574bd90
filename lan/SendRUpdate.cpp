#include "lan/SendRUpdate.h"

#include "common/LanText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "scheduling/ReminderRules.h"
#include "scheduling/ReminderWrites.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/ShareDates.h"
#include "store/ShareResends.h"

#include <functional>
#include <limits>

RUpdateRec UpdateOf(const ReminderRecord& reminder, const QString& recipients)
{
    RUpdateRec rec;
    static_cast<ReminderRecord&>(rec) = reminder;
    rec.Recipients = recipients;
    rec.RActive = true; // a copy always starts active
    return rec;
}

namespace {

// These boxes have no title of their own: the program's title shows.
void tell(const QString& text, Prompt::Icon icon)
{
    Prompt::message(nullptr, text, appTitle(), Prompt::Buttons::Ok, icon);
}

} // namespace

bool SendRUpdate(Dynaset& rs, qint32 NewIndex, bool toList, const QString& sentTo)
{
    bool sent = false;
    trapped(QStringLiteral("SendRUpdate"), [&] {
        rs.findFirst(fieldName(ReminderField::RMain_Id), NewIndex);
        if (rs.noMatch() || !rs.hasCurrent())
            throw Failure(QStringLiteral("שגיאה בשמירת נתונים"));
        const ReminderRecord reminder = ReminderRecord::read(rs);
        if (!reminder.IAMAuthor) {
            tell(QStringLiteral("לא ניתן לשלוח עדכון לתזכורת שלא את/אתה המחבר שלה"),
                 Prompt::Icon::Information);
            return;
        }
        RUpdateRec rec = UpdateOf(reminder, toList ? sentTo : kAllRecipients);
        if (rec.Recipients.isEmpty()) {
            tell(QStringLiteral("רשימת הנמענים ריקה"), Prompt::Icon::Exclamation);
            return;
        }
        if (rec.BroadcastId == 0)
            rec.BroadcastId = NewBroadcastId();
        // A reminder that cannot go out is left as it was.
        const QString message = BuildRUpdate(rec);
        if (!checkSendable(message))
            return;
        MarkSent(rs, rec.BroadcastId, toList ? sentTo : QString());
        sent = sendToEverybody(message);
    });
    return sent;
}

namespace {

// The reminder this user shared, as stored, to the recipients it gives.
bool sendStored(qint32 reminderId,
                const std::function<QString(const ReminderRecord&)>& recipientsOf)
{
    bool sent = false;
    trapped(QStringLiteral("SendRUpdate"), [&] {
        auto db = OpenReminderDb();
        const std::optional<ReminderRecord> reminder = storedReminder(*db, reminderId);
        if (!reminder || !reminder->IAMAuthor || reminder->BroadcastId == 0)
            return;
        const QString recipients = recipientsOf(*reminder);
        if (recipients.isEmpty())
            return;
        NoteShared(*db, reminder->BroadcastId);
        ForgetResends(*db, reminder->BroadcastId);
        sent = sendToEverybody(BuildRUpdate(UpdateOf(*reminder, recipients)));
    });
    return sent;
}

} // namespace

bool SendRUpdateTo(qint32 reminderId, const QString& names)
{
    return sendStored(reminderId, [&](const ReminderRecord&) { return names; });
}

bool SendRUpdateAgain(qint32 reminderId)
{
    return sendStored(reminderId, [](const ReminderRecord& r) {
        return r.SentTo.isEmpty() ? kAllRecipients : r.SentTo;
    });
}

void RequireSendable(const ReminderRecord& reminder, const QString& recipients)
{
    using F = ReminderField;
    RUpdateRec rec = UpdateOf(reminder, recipients);
    if (rec.BroadcastId == 0)
        rec.BroadcastId = std::numeric_limits<qint32>::min(); // the longest identity
    if (!checkSendable(BuildRUpdate(rec)))
        throw ReminderRefused(F::RDetail, QStringLiteral("ארוך מדי לשליחה ברשת"));
}
