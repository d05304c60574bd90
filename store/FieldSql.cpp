#include "store/FieldSql.h"

#include "platform/Failure.h"
#include "store/SqlValue.h"

namespace {

QString literal(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', 17);
    if (isNumber(value))
        return QString::number(value.toLongLong());
    QString text = value.toString();
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

QString defaultClause(const FieldDef& field)
{
    const QVariant& value = field.defaultValue;
    if (isSqlNull(value) || defaultsToInsertTime(field))
        return QString();
    if (field.type == FieldType::Text && !field.allowZeroLength && value.toString().isEmpty())
        return QString();
    return QStringLiteral(" DEFAULT ") + literal(value);
}

QString check(const QString& name, const QString& condition)
{
    return QStringLiteral(" CONSTRAINT %1 CHECK (%2)").arg(quotedName(name), condition);
}

QString range(const QString& column, qint64 low, qint64 high)
{
    return QStringLiteral("%1 BETWEEN %2 AND %3").arg(column).arg(low).arg(high);
}

} // namespace

bool defaultsToInsertTime(const FieldDef& field)
{
    return field.type == FieldType::DateTime && field.defaultValue.typeId() == QMetaType::QString &&
           field.defaultValue.toString().compare(QStringLiteral("Now()"), Qt::CaseInsensitive) == 0;
}

QString columnDefinition(const FieldDef& field)
{
    const QString column = quotedName(field.name);
    switch (field.type) {
    case FieldType::DateTime:
        return column + QStringLiteral(" REAL") + defaultClause(field);
    case FieldType::Long:
        return column + QStringLiteral(" INTEGER") + defaultClause(field) +
               check(field.name, range(column, -2147483648LL, 2147483647LL));
    case FieldType::Integer:
        return column + QStringLiteral(" INTEGER") + defaultClause(field) +
               check(field.name, range(column, -32768, 32767));
    case FieldType::Boolean: {
        // A yes/no field is never null: without a default it is No.
        const bool yes = !isSqlNull(field.defaultValue) && field.defaultValue.toBool();
        return column + QStringLiteral(" INTEGER NOT NULL DEFAULT ") +
               (yes ? QLatin1Char('1') : QLatin1Char('0')) +
               check(field.name, column + QStringLiteral(" IN (0, 1)"));
    }
    case FieldType::Text:
        return column + QStringLiteral(" TEXT") + defaultClause(field) +
               check(field.name, range(QStringLiteral("length(%1)").arg(column),
                                       field.allowZeroLength ? 0 : 1, field.size));
    case FieldType::Memo:
        return column + QStringLiteral(" TEXT") + defaultClause(field);
    }
    throw Failure(QStringLiteral("Invalid field type"));
}

QString insertTimeTriggerName(const QString& table, const QString& field)
{
    return table + QLatin1Char('_') + field + QStringLiteral("_InsertTime");
}

// SQLite's own local clock as a date serial (days since 30/12/1899, the
// julian day of its midnight being 2415018.5), so any SQLite client can insert.
QString insertTimeTrigger(const QString& table, const QString& field)
{
    return QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 FOR EACH ROW WHEN NEW.%3 IS NULL "
                          "BEGIN UPDATE %2 SET %3 = julianday('now', 'localtime') - 2415018.5 "
                          "WHERE rowid = NEW.rowid; END")
        .arg(quotedName(insertTimeTriggerName(table, field)), quotedName(table), quotedName(field));
}
