#include "store/ShareDeletions.h"

#include "store/Database.h"
#include "store/NameList.h"
#include "store/ShareDates.h"

namespace {

QString recentDeletion()
{
    return Queries::withinShareMemory(QStringLiteral("DeletedAt"));
}

} // namespace

void EnsureShareDeletions(Database& db)
{
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Deleted_tbl (BroadcastId INTEGER PRIMARY "
                           "KEY, DeletedAt REAL NOT NULL, SentTo TEXT NOT NULL DEFAULT '')"));
}

void NoteShareDeleted(Database& db, qint32 broadcastId, const QString& sentTo)
{
    EnsureShareDeletions(db);
    db.execute(QStringLiteral("INSERT OR REPLACE INTO Deleted_tbl (BroadcastId, DeletedAt, SentTo) "
                              "VALUES (?, Now(), ?)"),
               {broadcastId, sentTo});
    db.execute(
        QStringLiteral("DELETE FROM Deleted_tbl WHERE NOT (%1) OR BroadcastId NOT IN "
                       "(SELECT BroadcastId FROM Deleted_tbl ORDER BY DeletedAt DESC LIMIT ?)")
            .arg(recentDeletion()),
        {kMaxShareDeletions});
}

QString Queries::deletionsOwedTo()
{
    return QStringLiteral(
               "SELECT BroadcastId FROM Deleted_tbl WHERE %1 AND (SentTo = '' OR %2) AND "
               "NOT EXISTS (SELECT 1 FROM Main_tbl WHERE Main_tbl.BroadcastId = "
               "Deleted_tbl.BroadcastId AND IAMAuthor = TRUE) ORDER BY DeletedAt DESC")
        .arg(recentDeletion(), inNameList(QStringLiteral("SentTo")));
}
