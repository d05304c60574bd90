#pragma once

#include "store/ReminderRecord.h"

#include <QVariantMap>

// A reminder as scripts read and change it over D-Bus (a{sv}): the fields of
// Main_tbl under their own names; texts as s, codes and identities as i,
// yes/no as b, dates as s "yyyy-MM-ddTHH:mm" in local time ("" for none),
// the name lists SentTo and ReceivedBy as s with commas between the names.
QVariantMap reminderMap(const ReminderRecord& r);

// Sets the fields given in that form (UpdateReminder): RCaption, RDetail,
// RDate, RImportance, REventType, RActive and the eight Adv_ fields. Refuses
// (InvalidArgument "fields.<name>") any other name, a value of another type,
// a date that does not exist, a code beyond 16 bits, an empty RDate.
void applyFields(ReminderRecord& r, const QVariantMap& fields);

// An integer argument as a 16-bit code, or InvalidArgument "out of range".
short codeArgument(const QString& argument, const QVariant& integer);
// A date argument "yyyy-MM-ddTHH:mm" of a moment that exists, or InvalidArgument.
Date dateArgument(const QString& argument, const QString& text);
