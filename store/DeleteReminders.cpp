#include "store/DeleteReminders.h"

#include "store/Database.h"

#include <QStringList>

int DeleteRemindersById(Database& db, const QList<qint32>& ids)
{
    QStringList numbers;
    numbers.reserve(ids.size());
    for (const qint32 id : ids)
        numbers << QString::number(id);
    // The ids travel as one JSON array, so the statement stays one.
    const QString array = QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
    Transaction transaction(db);
    const int deleted = db.execute(
        QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id IN (SELECT value FROM json_each(?))"),
        {array});
    transaction.commit();
    return deleted;
}
