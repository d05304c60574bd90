#pragma once

#include <QList>
#include <QVariantList>

class Database;
class RowCursor;

// Deletes the reminders with these RMain_Id in one statement inside one
// transaction, each found by its key (no search over the table per row).
// Ids that no row holds any more are skipped. Gives how many were deleted.
int DeleteRemindersById(Database& db, const QList<qint32>& ids);

// A row of Main_tbl exactly as stored: every field's value in table order
// (ReminderField), null as null, a date to the fraction of a second.
using StoredRow = QVariantList;
// The record set's current row so.
StoredRow storedRow(const RowCursor& rs);
// Puts a deleted row back exactly as it was, its RMain_Id included (which a
// record set never writes). Throws Failure when a row holds that RMain_Id by now.
void InsertDeletedRow(Database& db, const StoredRow& row);
