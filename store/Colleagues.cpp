#include "store/Colleagues.h"

#include "store/Database.h"
#include "store/RowReader.h"
#include "store/ShareDates.h"

void EnsureColleagues(Database& db)
{
    db.exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS Colleagues_tbl (Nick TEXT NOT NULL, Address TEXT NOT NULL, "
        "LastSeen REAL NOT NULL);"
        "CREATE UNIQUE INDEX IF NOT EXISTS Colleagues_tbl_Nick ON Colleagues_tbl (Nick);"
        "CREATE INDEX IF NOT EXISTS Colleagues_tbl_LastSeen ON Colleagues_tbl (LastSeen)"));
}

void NoteColleagueSeen(Database& db, const QString& nick, const QString& address)
{
    EnsureColleagues(db);
    db.execute(QStringLiteral("INSERT INTO Colleagues_tbl (Nick, Address, LastSeen) VALUES (?, ?, "
                              "Now()) ON CONFLICT (Nick) DO UPDATE SET Address = excluded.Address, "
                              "LastSeen = excluded.LastSeen"),
               {nick, address});
    db.execute(QStringLiteral("DELETE FROM Colleagues_tbl WHERE rowid IN (SELECT rowid FROM "
                              "Colleagues_tbl ORDER BY LastSeen DESC LIMIT -1 OFFSET ?)"),
               {kMaxColleagues});
}

QStringList ColleaguesSeen(Database& db)
{
    EnsureColleagues(db);
    RowReader rows(db, QStringLiteral("SELECT Nick FROM Colleagues_tbl WHERE %1 ORDER BY Nick")
                           .arg(Queries::withinShareMemory(QStringLiteral("LastSeen"))));
    QStringList nicks;
    while (rows.next())
        nicks << rows.value(0).toString();
    return nicks;
}

QString ColleagueAddress(Database& db, const QString& nick)
{
    EnsureColleagues(db);
    return db.scalar(QStringLiteral("SELECT Address FROM Colleagues_tbl WHERE Nick = ?"), {nick})
        .toString();
}
