#pragma once

#include "store/Schema.h"

#include <QString>
#include <QVariant>

// The SQL text of one field of Main_tbl, shared by the creation of a new
// database and the upgrade of an old one so both end with the same fields.
struct FieldDef
{
    QString name;
    FieldType type;
    int size;
    QVariant defaultValue;
    bool allowZeroLength;
};

QString columnDefinition(const FieldDef& field);
// True when the field's default is the insert time, kept by insertTimeTrigger.
bool defaultsToInsertTime(const FieldDef& field);
QString insertTimeTriggerName(const QString& table, const QString& field);
QString insertTimeTrigger(const QString& table, const QString& field);
