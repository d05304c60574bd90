#pragma once

#include "scheduling/ReminderWrites.h"

#include <QString>

#include <functional>
#include <optional>

// Deleting one reminder so that the user can take the deletion back for a
// while: the deletion keeps the row as it was, and the undo stores it again
// exactly, under its RMain_Id. A reminder this user shared whose deletion
// went out on the network ("DEL") goes out again to the audience it had, so
// its recipients hold it again too.

// The network side, installed by the server (lan/ sends); unset, nothing
// goes out. sendDel sends "DEL" with a BroadcastId; sendAgain sends the
// reminder stored under an RMain_Id to the audience it has (SentTo, or
// everybody). Each gives whether it went out.
struct SharingHooks
{
    std::function<bool(qint32 broadcastId)> sendDel;
    std::function<bool(qint32 reminderId)> sendAgain;
};
void setSharingHooks(SharingHooks hooks);

struct DeletedReminder
{
    StoredRow row; // as it was stored
    bool deletedOnNetwork = false;
    qint32 id() const;
};

// DeleteReminder with the hooks' "DEL": the reminder as it was, or nothing
// when none was deleted (not stored, or cancelled). Throws Failure.
std::optional<DeletedReminder> DeleteUndoably(qint32 id,
                                              const std::function<NetworkDeletion()>& askNetwork);
// RestoreReminder, then sendAgain when its deletion went out on the network.
// Gives the empty text, or why it could not be stored again (logged as
// "UndoDeletion: <why>").
QString UndoDeletion(const DeletedReminder& deleted);
// What the notice of the undo says of it: its title, deleted.
QString DeletedNotice(const DeletedReminder& deleted);
