#pragma once

// The office's choice, [Reminder] IsraeliHolidays of Kalvex.ini (on when
// missing): the working-day rules treat Israel's days off as days off.
bool IsraeliHolidaysOff();
void SetIsraeliHolidaysOff(bool on);
