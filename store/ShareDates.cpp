#include "store/ShareDates.h"

#include "store/Database.h"
#include "store/NameList.h"

namespace {

QString recentCondition()
{
    return Queries::withinShareMemory(QStringLiteral("SharedAt"));
}

} // namespace

QString Queries::withinShareMemory(const QString& column)
{
    return QStringLiteral("%1 >= Now() - %2").arg(column).arg(kShareMemoryDays);
}

void EnsureShareDates(Database& db)
{
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Shared_tbl (BroadcastId INTEGER PRIMARY "
                           "KEY, SharedAt REAL NOT NULL)"));
}

void NoteShared(Database& db, qint32 broadcastId)
{
    EnsureShareDates(db);
    db.exec(QStringLiteral("DELETE FROM Shared_tbl WHERE NOT (%1)").arg(recentCondition()));
    db.execute(QStringLiteral("INSERT OR REPLACE INTO Shared_tbl (BroadcastId, SharedAt) "
                              "VALUES (?, Now())"),
               {broadcastId});
}

QString Queries::sharedRecently()
{
    return QStringLiteral("SELECT Main_tbl.* FROM Main_tbl JOIN Shared_tbl USING (BroadcastId) "
                          "WHERE IAMAuthor = TRUE AND RActive = TRUE AND BroadcastId <> 0 AND ") +
           recentCondition() + QStringLiteral(" ORDER BY RMain_Id");
}

QString Queries::missedBy()
{
    return QStringLiteral(
               "SELECT RMain_Id FROM (%1) WHERE (IFNULL(SentTo, '') = '' OR %2) AND NOT %3")
        .arg(sharedRecently(), inNameList(QStringLiteral("SentTo")),
             inNameList(QStringLiteral("ReceivedBy")));
}
