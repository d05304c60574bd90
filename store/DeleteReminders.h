#pragma once

#include <QList>

class Database;

// Deletes the reminders with these RMain_Id in one statement inside one
// transaction, each found by its key (no search over the table per row).
// Ids that no row holds any more are skipped. Gives how many were deleted.
int DeleteRemindersById(Database& db, const QList<qint32>& ids);
