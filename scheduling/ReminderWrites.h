#pragma once

#include "platform/Date.h"
#include "platform/Failure.h"
#include "store/DeleteReminders.h"
#include "store/ReminderRecord.h"

#include <QList>

#include <functional>
#include <optional>

class Dynaset;

// Every write of reminders (rows of Main_tbl) in Kalvex: the author's save
// (the editor, the scripting methods), a copy received over the LAN, the
// deletions, the postponement, the recurrence step, an acknowledgement and
// the mark of a send. Each follows the rules of ReminderRules.h and, when it
// wrote, raises the notice of change (ReminderChanges) and publishes the next
// due time soon (PublishNextDateSoon) by itself, both once an open WriteBatch
// has committed: no caller can forget them. Nothing else writes the table.

// What an author's save makes of a reminder: the stored one (its row, or a
// new row's defaults) with what the author entered (the editor's controls, a
// script's values). The texts are stored as StoredCaption and StoredDetail
// give them; RNext = RDate (a save clears a postponement); RAuthor is the
// nickname when it is empty. A simple type gets Adv_AdvOpt False,
// Adv_DateEnd = RDate, Adv_NoEnd True and its step as Adv_Period and
// Adv_PeriodN (one-time keeps those two); a Hebrew type its unit (months or
// years), the count entered and the anchor entered or else its due date's;
// the advanced type takes the Adv_ fields entered. The skipping of days off
// is kept for a daily or weekly rule only. Every other field keeps its
// stored value.
ReminderRecord AuthoredSave(const ReminderRecord& stored, const ReminderRecord& entered,
                            const QString& nick);

// The reminder a save was meant for is no longer stored. A save never stores
// it again on its own: only the user's word (a new save with id 0) does.
class ReminderGone : public Failure
{
public:
    explicit ReminderGone(qint32 id);
};

// Stores an author's save of reminder id, or a new reminder when id is 0; a
// reminder deleted meanwhile throws ReminderGone. The nickname is LANNick. Refused
// (ReminderRefused, RequireAuthored), nothing is written. whileOpen gets the save's record set and
// the saved RMain_Id before they close (the LAN send). Gives that id. Throws Failure; a database of
// a newer release is not written, one of an older release is upgraded first.
using WhileSaved = std::function<void(Dynaset& rs, qint32 savedId)>;
qint32 SaveReminder(const ReminderRecord& entered, qint32 id, const WhileSaved& whileOpen = {});

// Marks the current row of a save's record set (WhileSaved) as sent under the
// network identity broadcastId to sentTo, a name list (empty: to everybody):
// ReceivedBy starts empty again, and the share is noted (ShareDates.h).
void MarkSent(Dynaset& rs, qint32 broadcastId, const QString& sentTo);

// Stores a reminder received over the LAN as its author sent it, as the copy
// with its BroadcastId: that copy changed, or a new one; an empty RAuthor
// is stored as null. The caller has checked it (RequireStorable). A copy from
// an unsigned datagram is marked so (UnsignedCopies.h), one from a signed
// datagram loses the mark. Throws Failure.
enum class CopyOrigin { Signed, Unsigned };
void StoreReceivedCopy(const ReminderRecord& rec, CopyOrigin origin = CopyOrigin::Signed);
// Deletes the received copy with the network identity; false when none. The
// next due time is published soon either way.
bool DeleteReceivedCopy(qint32 broadcastId);

// An acknowledgement of the reminder this user shared under the identity: the
// name joins its ReceivedBy once. A name that stands there already changes
// nothing, so no peer can fill the field and shut out the others.
enum class Receipt { Noted, AlreadyNoted, NotStored };
Receipt NoteReceipt(qint32 broadcastId, const QString& name);

// The deletion of one reminder. For a reminder this user shared (SharedByMe),
// askNetwork decides whether it goes on the network too (sendDel sends "DEL"
// with its identity before the row goes, and the deletion is noted for those
// away: ShareDeletions.h) or not at all.
enum class NetworkDeletion { Also, LocalOnly, Cancel };
enum class Deletion { Deleted, NotStored, Cancelled };
// Given deleted, it gets the row as it was stored, for an undo (RestoreReminder).
Deletion DeleteReminder(qint32 id, const std::function<NetworkDeletion()>& askNetwork,
                        const std::function<void(qint32 broadcastId)>& sendDel,
                        StoredRow* deleted = nullptr);
// Stores a deleted reminder again exactly as it was, every field and its
// RMain_Id. Throws Failure, also when a row holds that RMain_Id by now.
void RestoreReminder(const StoredRow& deleted);
// Deletes the reminders with these ids at once; gives how many went.
int DeleteReminders(const QList<qint32>& ids);

// The postponement of a reminder, as its alert postpones it: RNext becomes
// now, to the minute, plus count units (Date::Unit), and the reminder is
// active; its due date and rule stay. A reminder not stored is left alone.
enum class Postponement { Postponed, NotStored };
Postponement PostponeReminder(qint32 id, int unit, int count);
// The same by minutes, 1 to kMaxPostponeMinutes (a year); any other number is
// refused (ReminderRefused on RNext) before the reminder is looked for.
inline constexpr int kMaxPostponeMinutes = 525600;
Postponement PostponeReminderMinutes(qint32 id, int minutes);

// Moves one reminder on to its next occurrence, or switches it off; a rule
// that yields no next occurrence switches it off too, logged as
// "Reschedular: <description>". Given shownNext, the row is moved on only
// while its RNext is still that moment. Any other failure is logged the same
// way and leaves the row unchanged.
void Reschedular(qint32 reminderId, const std::optional<Date>& shownNext = std::nullopt);
