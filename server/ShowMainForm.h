#pragma once

#include <QtGlobal>

// Loads and shows the manager window, selecting the reminder last loaded into
// its editor, and brings it to the front without keeping it on top. Logs
// "ShowMainForm: <description>" on failure.
void ShowMainForm();

// What an alert's "פתח ברשימה" does once the alert has closed: shows the
// manager window if it is not visible, brings it to the front (kept on top
// when it was visible already) and selects the reminder. Logs
// "cmdShowList: <description>" on failure.
void OpenReminderInList(qint32 reminderId);
