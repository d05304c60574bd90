#include "StoreTestFiles.h"

#include "RowReader.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

#include <stdexcept>

void rawSql(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    char* error = nullptr;
    const bool ok =
        sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) == SQLITE_OK;
    const std::string message = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    sqlite3_close(db);
    if (!ok)
        throw std::runtime_error(message);
}

QString baseTableSql(const QStringList& extraColumns)
{
    QStringList columns{"RMain_Id INTEGER PRIMARY KEY AUTOINCREMENT",
                        "RCaption TEXT",
                        "RDetail TEXT",
                        "RDate REAL",
                        "RNext REAL",
                        "RImportance INTEGER",
                        "REventType INTEGER",
                        "RActive INTEGER",
                        "Adv_AdvOpt INTEGER",
                        "Adv_Period INTEGER",
                        "Adv_PeriodN INTEGER",
                        "Adv_WeekDay INTEGER",
                        "Adv_MonthDay INTEGER",
                        "Adv_MonthCount INTEGER",
                        "Adv_DateEnd REAL",
                        "Adv_NoEnd INTEGER"};
    columns << extraColumns;
    return QStringLiteral("CREATE TABLE Main_tbl (%1);").arg(columns.join(", "));
}

QStringList columnsOf(Database& db)
{
    QStringList names;
    RowReader reader(db, QStringLiteral("PRAGMA table_info(Main_tbl)"));
    while (reader.next())
        names << reader.value(QStringLiteral("name")).toString();
    return names;
}

QString queryPlan(Database& db, const QString& sql)
{
    QStringList steps;
    RowReader reader(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    while (reader.next())
        steps << reader.value(QStringLiteral("detail")).toString();
    return steps.join('\n');
}
