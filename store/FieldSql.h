#pragma once

#include <QString>
#include <QVariant>

// Field types: date/time (REAL serial), 32-bit integer, yes/no (0/1, never
// null), text of at most size characters, 16-bit code, memo (unlimited text).
enum class FieldType { DateTime, Long, Boolean, Text, Integer, Memo };

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
