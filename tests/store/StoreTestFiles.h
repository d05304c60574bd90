#pragma once

#include "Database.h"
#include "TestFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Helpers of the store tests: raw files and databases built without the code
// under test.

// Runs SQL on a file with the plain engine (creating it), as another program
// or an older release would.
void rawSql(const QString& path, const QString& sql);

// The fields of the first release, as an older release created Main_tbl.
QString baseTableSql(const QStringList& extraColumns = {});

QStringList columnsOf(Database& db);
// The plan the engine chooses for a query, one line per step.
QString queryPlan(Database& db, const QString& sql);
