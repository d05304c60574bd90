#include "store/DeleteReminders.h"

#include "platform/Failure.h"
#include "store/Database.h"
#include "store/ReminderRecord.h"
#include "store/RowCursor.h"

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

StoredRow storedRow(const RowCursor& rs)
{
    StoredRow row;
    for (int i = 0; i < kReminderFieldCount; ++i)
        row << fieldValue(rs, ReminderField(i));
    return row;
}

void InsertDeletedRow(Database& db, const StoredRow& row)
{
    const qint64 id = row.value(int(ReminderField::RMain_Id)).toLongLong();
    if (storedReminder(db, qint32(id)))
        throw Failure(QStringLiteral("התזכורת %1 קיימת כבר").arg(id));
    QStringList names, marks;
    for (int i = 0; i < kReminderFieldCount; ++i) {
        names << fieldName(ReminderField(i));
        marks << QStringLiteral("?");
    }
    db.execute(QStringLiteral("INSERT INTO Main_tbl (%1) VALUES (%2)")
                   .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
               row);
}
