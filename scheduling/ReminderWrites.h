#pragma once

#include "platform/Failure.h"
#include "store/ReminderRecord.h"

#include <QList>

#include <functional>

class Dynaset;

// Every write of reminders in Kalvex: the author's save (the editor, the
// scripting methods), a copy received over the LAN, and the deletions. Each
// follows the rules of ReminderRules.h and ends with ReminderWritten.

// What an author's save makes of a reminder: the stored one (its row, or a
// new row's defaults) with what the author entered (the editor's controls, a
// script's values). The texts are stored as StoredCaption and StoredDetail
// give them; RNext = RDate (a save clears a postponement); RAuthor is the
// nickname when it is empty. A simple type gets Adv_AdvOpt False,
// Adv_DateEnd = RDate, Adv_NoEnd True and its step as Adv_Period and
// Adv_PeriodN (one-time keeps those two); the advanced type takes the eight
// Adv_ fields entered. Every other field keeps its stored value.
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

// Stores a reminder received over the LAN as its author sent it, as the copy
// with its BroadcastId: that copy changed, or a new one; an empty RAuthor
// is stored as null. The caller has checked it (RequireStorable). Throws Failure.
void StoreReceivedCopy(const ReminderRecord& rec);
// Deletes the received copy with the network identity; false when none.
bool DeleteReceivedCopy(qint32 broadcastId);

// The deletion of one reminder. For a reminder this user shared (SharedByMe),
// askNetwork decides whether it goes on the network too (sendDel sends "DEL"
// with its identity before the row goes) or not at all.
enum class NetworkDeletion { Also, LocalOnly, Cancel };
enum class Deletion { Deleted, NotStored, Cancelled };
Deletion DeleteReminder(qint32 id, const std::function<NetworkDeletion()>& askNetwork,
                        const std::function<void(qint32 broadcastId)>& sendDel);
// Deletes the reminders with these ids at once; gives how many went.
int DeleteReminders(const QList<qint32>& ids);

// After reminders were written or deleted: raises the notice of change
// (ReminderChanges) and publishes the next due time soon, both once an open
// WriteBatch has committed.
void ReminderWritten();
