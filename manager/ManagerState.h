#pragma once

#include "platform/Date.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

#include <QString>

#include <optional>

// Program-wide values the manager window shares with the rest of Kalvex.

// RMain_Id of the reminder last loaded into the editor, 0 when none.
extern qint32 CurrentReminderId;
// SentTo of that reminder (empty when null).
extern QString CurrentSentTo;

// The audience the editor last sent a reminder to in this process: everybody,
// or the name list. A new reminder starts private and offers it under "שלח ברשת".
struct Recipients
{
    bool toList = false;
    QString names; // a name list
};
extern Recipients lastRecipients;

// The working copy of one reminder's recurrence rule, shared by the editor
// and the advanced options window, with the due date and time handed to the
// window and returned by it.
struct AdvancedOptions : AdvancedRule
{
    Date StartDate;
    // The advanced type, or a Hebrew one when the window chose its unit.
    short eventType = EventAdvanced;
};
extern AdvancedOptions AdvOptions;
