#include "scheduling/ReminderWrites.h"

#include "common/Trapped.h"
#include "scheduling/Occurrences.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/ReminderRules.h"
#include "store/DeleteReminders.h"
#include "store/LanSettings.h"
#include "store/NameList.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/Schema.h"
#include "store/ShareDates.h"
#include "store/ShareDeletions.h"
#include "store/ShareResends.h"
#include "store/UnsignedCopies.h"
#include "store/WriteBatch.h"

namespace {

using F = ReminderField;

void announceChange()
{
    ReminderChanges::raise();
    PublishNextDateSoon();
}

// Ends every write that changed the table: the notice of change and the
// publication of the next due time, both once an open WriteBatch has committed.
void ReminderWritten()
{
    afterCommitOnce(&announceChange);
}

// The fields an author's save writes; the others keep what the row holds.
void writeSaved(Dynaset& rs, const ReminderRecord& stored, const ReminderRecord& r)
{
    r.writeAuthored(rs);
    if (stored.RAuthor.isEmpty())
        r.write(rs, {F::RAuthor});
    if (r.REventType == EventAdvanced) {
        r.writeRule(rs);
        return;
    }
    r.write(rs, {F::Adv_AdvOpt, F::Adv_DateEnd, F::Adv_NoEnd, F::Adv_HebrewMonth, F::Adv_HebrewDay,
                 F::Adv_SkipDaysOff});
    if (stepOfType(r.REventType) || isHebrewEventType(r.REventType))
        r.write(rs, {F::Adv_Period, F::Adv_PeriodN});
}

// A rule that yields no next occurrence would leave the reminder due for
// ever, back on every check: it is logged and switched off instead (no
// step), and nothing else in the row changes.
std::optional<RecurrenceStep> stepOrSwitchOff(const Dynaset& rs)
{
    std::optional<RecurrenceStep> step;
    trapped(QStringLiteral("Reschedular"), [&] { step = DismissalStep(ReminderRecord::read(rs)); });
    return step;
}

void stepCurrentRow(Dynaset& rs)
{
    const std::optional<RecurrenceStep> step = stepOrSwitchOff(rs);
    ReminderRecord r;
    rs.edit();
    if (step) {
        // A postponement of the dismissed occurrence does not carry over.
        r.RDate = r.RNext = step->next;
        r.write(rs, {F::RDate, F::RNext});
    }
    if (!step || !step->active) {
        r.RActive = false;
        r.write(rs, {F::RActive});
    }
    rs.update();
}

// The row still holds the next showing the caller saw; a row saved or
// received meanwhile is someone else's newer word.
bool stillShows(const Dynaset& rs, const std::optional<Date>& shownNext)
{
    return !shownNext || optionalDateField(fieldValue(rs, F::RNext)) == shownNext;
}

// A Hebrew series keeps its count and the anchor entered; with none, or
// with the row's own while the author moved the due date, the anchor is the
// due date's (none when the date lies outside the calendar, which the rules
// refuse).
void takeHebrewRule(ReminderRecord& r, const ReminderRecord& stored, const ReminderRecord& entered)
{
    r.Adv_Period = r.REventType == EventHebrewYearly ? Date::Year : Date::Month;
    r.Adv_PeriodN = entered.Adv_PeriodN;
    const bool moved =
        entered.RDate != stored.RDate && storedAnchor(entered) == storedAnchor(stored);
    if (entered.Adv_HebrewDay != 0 && !moved) {
        r.Adv_HebrewMonth = entered.Adv_HebrewMonth;
        r.Adv_HebrewDay = entered.Adv_HebrewDay;
        return;
    }
    try {
        const HebrewAnchor anchor = hebrewAnchorOf(r.RDate.date());
        r.Adv_HebrewMonth = short(anchor.month);
        r.Adv_HebrewDay = short(anchor.day);
    } catch (const Failure&) {
    }
}

} // namespace

ReminderRecord AuthoredSave(const ReminderRecord& stored, const ReminderRecord& entered,
                            const QString& nick)
{
    ReminderRecord r = stored;
    r.RCaption = StoredCaption(entered.RCaption);
    r.RDetail = StoredDetail(entered.RDetail);
    r.RDate = r.RNext = entered.RDate;
    r.RImportance = entered.RImportance;
    r.REventType = entered.REventType;
    r.RActive = entered.RActive;
    if (r.RAuthor.isEmpty())
        r.RAuthor = nick;
    if (r.REventType == EventAdvanced) {
        static_cast<AdvancedRule&>(r) = entered;
        return r;
    }
    r.Adv_AdvOpt = false;
    r.Adv_DateEnd = r.RDate;
    r.Adv_NoEnd = true;
    r.Adv_SkipDaysOff = entered.Adv_SkipDaysOff && canSkipDaysOff(r.REventType, r);
    r.Adv_HebrewMonth = r.Adv_HebrewDay = 0;
    if (const std::optional<TypeStep> step = stepOfType(r.REventType)) {
        r.Adv_Period = step->unit;
        r.Adv_PeriodN = step->count;
    }
    if (isHebrewEventType(r.REventType))
        takeHebrewRule(r, stored, entered);
    return r;
}

ReminderGone::ReminderGone(qint32 id) : Failure(QStringLiteral("התזכורת %1 נמחקה בינתיים").arg(id))
{}

qint32 SaveReminder(const ReminderRecord& entered, qint32 id, const WhileSaved& whileOpen)
{
    qint32 savedId = 0;
    {
        auto db = OpenReminderDb();
        RequireCurrentDbVersion(*db);
        Dynaset rs(*db, id > 0 ? Queries::byId(id) : Queries::noRow);
        if (id > 0 && !rs.hasCurrent())
            throw ReminderGone(id);
        if (id > 0)
            rs.edit();
        else
            rs.addNew();
        const ReminderRecord stored = ReminderRecord::read(rs);
        const ReminderRecord r = AuthoredSave(stored, entered, LANNick);
        RequireAuthored(r);
        writeSaved(rs, stored, r);
        rs.update();
        savedId = qint32(rs.lastModifiedId());
        if (whileOpen)
            whileOpen(rs, savedId);
    }
    ReminderWritten();
    return savedId;
}

void MarkSent(Dynaset& rs, qint32 broadcastId, const QString& sentTo)
{
    ReminderRecord r;
    r.SentTo = sentTo;
    r.BroadcastId = broadcastId;
    rs.edit();
    r.write(rs, {F::SentTo, F::ReceivedBy, F::BroadcastId});
    rs.update();
    NoteShared(rs.database(), broadcastId);
    ForgetResends(rs.database(), broadcastId);
    ReminderWritten();
}

void StoreReceivedCopy(const ReminderRecord& received, CopyOrigin origin)
{
    ReminderRecord rec = received;
    {
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::copyByBroadcastId(rec.BroadcastId));
        if (rs.hasCurrent()) {
            rs.edit();
        } else {
            rs.addNew();
            rec.write(rs, {F::BroadcastId});
        }
        rec.IAMAuthor = false;
        rec.writeAuthored(rs);
        rec.writeRule(rs);
        rec.write(rs, {F::RAuthor, F::IAMAuthor});
        // RAuthor refuses the empty text: a copy without an author has none.
        if (rec.RAuthor.isEmpty())
            rs.setValue(fieldName(F::RAuthor), QVariant());
        rs.update();
        NoteCopySigned(*db, rec.BroadcastId, origin == CopyOrigin::Signed);
    }
    ReminderWritten();
}

bool DeleteReceivedCopy(qint32 broadcastId)
{
    {
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::copyByBroadcastId(broadcastId));
        if (!rs.hasCurrent()) {
            afterCommitOnce(&PublishNextDateSoon);
            return false;
        }
        rs.deleteCurrent();
    }
    ReminderWritten();
    return true;
}

Receipt NoteReceipt(qint32 broadcastId, const QString& name)
{
    {
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::authoredByBroadcastId(broadcastId));
        if (!rs.hasCurrent())
            return Receipt::NotStored;
        ReminderRecord r = ReminderRecord::read(rs);
        if (InNameList(name, r.ReceivedBy))
            return Receipt::AlreadyNoted;
        rs.edit();
        r.ReceivedBy += name + kNameEnd;
        r.write(rs, {F::ReceivedBy});
        rs.update();
    }
    ReminderWritten();
    return Receipt::Noted;
}

Deletion DeleteReminder(qint32 id, const std::function<NetworkDeletion()>& askNetwork,
                        const std::function<void(qint32)>& sendDel, StoredRow* deleted)
{
    {
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::byId(id));
        if (!rs.hasCurrent())
            return Deletion::NotStored; // deleted meanwhile
        const ReminderRecord r = ReminderRecord::read(rs);
        if (deleted)
            *deleted = storedRow(rs);
        if (SharedByMe(r)) {
            const NetworkDeletion answer = askNetwork();
            if (answer == NetworkDeletion::Cancel)
                return Deletion::Cancelled;
            if (answer == NetworkDeletion::Also) {
                // Also for colleagues away now, who are sent it when they announce themselves.
                NoteShareDeleted(*db, r.BroadcastId, r.SentTo);
                if (sendDel)
                    sendDel(r.BroadcastId);
            }
        }
        rs.deleteCurrent();
    }
    ReminderWritten();
    return Deletion::Deleted;
}

void RestoreReminder(const StoredRow& deleted)
{
    {
        auto db = OpenReminderDb();
        RequireCurrentDbVersion(*db);
        InsertDeletedRow(*db, deleted);
    }
    ReminderWritten();
}

int DeleteReminders(const QList<qint32>& ids)
{
    const int deleted = DeleteRemindersById(*OpenReminderDb(), ids);
    ReminderWritten();
    return deleted;
}

Postponement PostponeReminder(qint32 id, int unit, int count)
{
    {
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::byId(id));
        if (!rs.hasCurrent())
            return Postponement::NotStored;
        ReminderRecord r;
        r.RNext = NowToMinute().add(unit, count);
        r.RActive = true;
        rs.edit();
        r.write(rs, {F::RNext, F::RActive});
        rs.update();
    }
    ReminderWritten();
    return Postponement::Postponed;
}

Postponement PostponeReminderMinutes(qint32 id, int minutes)
{
    if (minutes < 1 || minutes > kMaxPostponeMinutes)
        throw ReminderRefused(F::RNext,
                              QStringLiteral("דחייה של 1 עד %1 דקות").arg(kMaxPostponeMinutes));
    return PostponeReminder(id, Date::Minute, minutes);
}

void Reschedular(qint32 reminderId, const std::optional<Date>& shownNext)
{
    trapped(QStringLiteral("Reschedular"), [&] {
        {
            const auto db = OpenReminderDb();
            Dynaset rs(*db, Queries::byId(reminderId));
            if (!rs.hasCurrent() || !stillShows(rs, shownNext))
                return; // deleted or changed meanwhile
            stepCurrentRow(rs);
        }
        ReminderWritten();
    });
}
