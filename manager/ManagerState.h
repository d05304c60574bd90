#pragma once

#include "Date.h"

#include <QString>

#include <optional>

// Program-wide values the manager window shares with the rest of Kalvex.

// RMain_Id of the reminder last loaded into the editor, 0 when none.
extern qint32 CurrentReminderId;
// SentTo of that reminder (empty when null).
extern QString CurrentSentTo;

// The working copy of one reminder's recurrence rule, shared by the editor
// and the advanced options window.
struct AdvancedOptions
{
    Date StartDate;
    std::optional<Date> Adv_DateEnd; // none: the stored end is null
    short Adv_Period = 3;
    short Adv_PeriodN = 1;
    bool Adv_AdvOpt = true;
    short Adv_WeekDay = 0;
    short Adv_MonthDay = 1;
    short Adv_MonthCount = 0;
    bool Adv_NoEnd = true;
    bool Accepted = false;
};
extern AdvancedOptions AdvOptions;
