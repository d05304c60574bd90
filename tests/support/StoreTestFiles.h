#pragma once

// Raw files and databases for the store tests, built without the code under test.
#include "store/Database.h"
#include "store/RowReader.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QStringList>

#include <sqlite3.h>

#include <stdexcept>

// Runs SQL on a plain SQLite connection, as another program or an older release would.
inline void rawSql(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    const bool ok =
        sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    const std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    if (!ok)
        throw std::runtime_error(message);
}

// Main_tbl as the first release created it.
inline const QStringList kBaseFields = {
    "RMain_Id",     "RCaption",       "RDetail",     "RDate",      "RNext",       "RImportance",
    "REventType",   "RActive",        "Adv_AdvOpt",  "Adv_Period", "Adv_PeriodN", "Adv_WeekDay",
    "Adv_MonthDay", "Adv_MonthCount", "Adv_DateEnd", "Adv_NoEnd"};
inline QString baseTableSql(const QStringList& extraColumns = {})
{
    return QStringLiteral("CREATE TABLE Main_tbl (RMain_Id INTEGER PRIMARY KEY AUTOINCREMENT, %1);")
        .arg((kBaseFields.mid(1) + extraColumns).join(", "));
}

inline QStringList column(Database& db, const QString& sql, const QString& name)
{
    QStringList values;
    for (RowReader reader(db, sql); reader.next();)
        values << reader.value(name).toString();
    return values;
}
inline QStringList columnsOf(Database& db)
{
    return column(db, "PRAGMA table_info(Main_tbl)", "name");
}
