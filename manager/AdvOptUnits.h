#pragma once

#include <QString>
#include <QStringList>

// The units of the advanced recurrence window's AdvEventType: the six units
// (the Adv_Period codes), then the Hebrew month and year, which make the rule
// a Hebrew-calendar series; and the Hebrew of a count of each.

// The entries of AdvEventType, a unit each ("דקה" … "שנה עברית").
QStringList AdvOptUnitNames();

// The unit after a count written in digits ("כל [1] דקה", "כל [2] דקות"), empty
// for an index of none.
QString AdvOptUnitWord(int unitIndex, int count);

// A count of the unit as a Hebrew speaker says it: "כל דקה", "כל 2 דקות",
// "כל שעתיים", "כל 5 שעות", "כל חודשיים עבריים"; empty for an index of none.
QString everyPeriodText(int unitIndex, int count);

// The recurrence type an entry makes: EventAdvanced, or a Hebrew type.
short AdvOptEventType(int unitIndex);
// The entry of a rule of that type and unit.
int AdvOptUnitIndex(short eventType, short unit);
