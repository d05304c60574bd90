#include "tests/support/ReminderRows.h"

#include "common/Ini.h"
#include "common/SettingsKeys.h"
#include "platform/ProgramDir.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/RowReader.h"
#include "tests/support/TestFiles.h"

char* toString(const Date& d)
{
    return qstrdup(qPrintable(d.date().toString(Qt::ISODate) + QLatin1Char(' ') +
                              d.time().toString(Qt::ISODate)));
}

QVariantMap reminderFields(short eventType, const Date& date, const Date& next,
                           const QVariantMap& more)
{
    QVariantMap fields{{QStringLiteral("RCaption"), QStringLiteral("תזכורת")},
                       {QStringLiteral("RDate"), QVariant::fromValue(date)},
                       {QStringLiteral("RNext"), QVariant::fromValue(next)},
                       {QStringLiteral("RActive"), 1},
                       {QStringLiteral("REventType"), eventType}};
    fields.insert(more);
    return fields;
}

qint32 insertReminder(const QVariantMap& fields)
{
    QStringList placeholders;
    QVariantList values;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        placeholders << QStringLiteral("?");
        const bool isDate = it.value().metaType() == QMetaType::fromType<Date>();
        values << (isDate ? dateValue(it.value().value<Date>()) : it.value());
    }
    const auto db = OpenReminderDb();
    db->execute(QStringLiteral("INSERT INTO Main_tbl (%1) VALUES (%2)")
                    .arg(fields.keys().join(QLatin1Char(',')), placeholders.join(QLatin1Char(','))),
                values);
    return qint32(db->lastInsertId());
}

QVariantMap reminderRow(qint32 id)
{
    const auto db = OpenReminderDb();
    RowReader rows(*db, QStringLiteral("SELECT * FROM Main_tbl WHERE RMain_Id = %1").arg(id));
    QVariantMap row;
    if (rows.next())
        for (int i = 0; i < rows.columns().size(); ++i)
            row.insert(rows.columns()[i], rows.value(i));
    return row;
}

Date reminderDate(qint32 id, const char* field)
{
    return dateField(reminderRow(id).value(QLatin1String(field)));
}

QStringList logLines()
{
    return QString::fromUtf8(fileBytes(ProgramDir::file(QStringLiteral("Kalvex.log"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString publishedNextDate()
{
    return ReadIni(SettingsKeys::reminderSection, SettingsKeys::nextDate, QString());
}
