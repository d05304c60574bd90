// Deleting the current reminder, and every reminder the list shows.
#include "manager/RMain.h"

#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "scheduling/PublishNextDate.h"
#include "store/Database.h"
#include "store/DeleteReminders.h"
#include "store/Queries.h"
#include "store/ReminderRecord.h"

namespace {

Prompt::Answer ask(QWidget* owner, const QString& text, Prompt::Buttons buttons)
{
    return Prompt::message(owner, text, appTitle(), buttons, Prompt::Icon::None);
}

// The author's reminder that went out over the LAN. Any identity but 0 was
// sent: one taken after 24.8 days of uptime is negative.
bool sharedByMe(const ReminderRecord& r)
{
    return r.IAMAuthor && r.BroadcastId != 0;
}

} // namespace

void RMain::cmdDelete_Click()
{
    trapped(QStringLiteral("cmdDelete"), [this] {
        if (!ListRs || !ListRs->hasCurrent())
            return;
        if (ask(this, QStringLiteral("אישור מחיקה"), Prompt::Buttons::OkCancel) !=
            Prompt::Answer::Ok)
            return;
        // The row that takes the deleted one's place; the new last after the last.
        int position = ListRs->absolutePosition();
        if (position == ListRs->recordCount() - 1)
            --position;
        {
            auto db = OpenReminderDb();
            Dynaset rs(*db, Queries::byId(currentListId()));
            if (rs.hasCurrent()) { // deleted meanwhile: nothing to do here
                const ReminderRecord r = ReminderRecord::read(rs);
                if (sharedByMe(r)) {
                    const Prompt::Answer answer =
                        ask(this, QStringLiteral("האם למחוק ברשת"), Prompt::Buttons::YesNoCancel);
                    if (answer == Prompt::Answer::Cancel)
                        return;
                    if (answer == Prompt::Answer::Yes && sendDelMsgHook())
                        sendDelMsgHook()(r.BroadcastId);
                }
                rs.deleteCurrent();
            }
        }
        ListRs->requery(*m_listDb);
        if (ListRs->recordCount() > 0)
            ListRs->setAbsolutePosition(qBound(0, position, ListRs->recordCount() - 1));
        FillTheList();
        PublishNextDate();
    });
}

// Only what the list shows goes, and nothing is sent over the LAN.
void RMain::cmdDeleteAll_Click()
{
    trapped(QStringLiteral("cmdDeleteAll"), [this] {
        if (!ListRs || !ListRs->hasCurrent())
            return;
        if (Prompt::input(this, QStringLiteral("הקלד 'כן' לאישור המחיקה"),
                          QStringLiteral("מחיקת רשימה")) != QStringLiteral("כן"))
            return;
        QList<qint32> ids;
        ids.reserve(ListRs->recordCount());
        Snapshot listed = ListRs->clone();
        for (listed.moveFirst(); !listed.eof(); listed.moveNext())
            ids << reminderId(listed);
        DeleteRemindersById(*OpenReminderDb(), ids);
        ListRs->requery(*m_listDb);
        FillTheList();
        PublishNextDate();
    });
}
