#include "store/UnsignedCopies.h"

#include "store/Database.h"
#include "store/RowReader.h"

void EnsureUnsignedCopies(Database& db)
{
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Unsigned_tbl (BroadcastId INTEGER "
                           "PRIMARY KEY)"));
}

void NoteCopySigned(Database& db, qint32 broadcastId, bool isSigned)
{
    EnsureUnsignedCopies(db);
    if (isSigned) {
        db.execute(QStringLiteral("DELETE FROM Unsigned_tbl WHERE BroadcastId = ?"), {broadcastId});
        return;
    }
    db.execute(QStringLiteral("INSERT OR IGNORE INTO Unsigned_tbl (BroadcastId) VALUES (?)"),
               {broadcastId});
    db.execute(QStringLiteral("DELETE FROM Unsigned_tbl WHERE (SELECT COUNT(*) FROM "
                              "Unsigned_tbl) > ? AND BroadcastId NOT IN (SELECT BroadcastId "
                              "FROM Main_tbl WHERE IAMAuthor = 0 AND BroadcastId IS NOT NULL)"),
               {kMaxUnsignedMarks});
}

QSet<qint32> UnsignedCopies(Database& db)
{
    QSet<qint32> marked;
    try {
        RowReader rows(db, QStringLiteral("SELECT BroadcastId FROM Unsigned_tbl"));
        while (rows.next())
            marked.insert(rows.value(0).toInt());
    } catch (const std::exception&) {
        // A file no build of this release has written to yet: nothing marked.
    }
    return marked;
}

bool isUnsignedCopy(Database& db, qint32 broadcastId)
{
    try {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM Unsigned_tbl WHERE BroadcastId = ?"),
                         {broadcastId})
                   .toInt() > 0;
    } catch (const std::exception&) {
        return false; // no table: nothing marked
    }
}
