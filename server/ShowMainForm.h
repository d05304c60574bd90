#pragma once

#include <QtGlobal>

// Loads and shows the manager window, selecting the reminder last loaded into
// its editor, and brings it to the front without keeping it on top. Logs
// "ShowMainForm: <description>" on failure.
void ShowMainForm();

// What an alert's "פתח ברשימה" does once the alert has closed: shows the
// manager window, brings it to the front (not kept on top) and selects the
// reminder, or tells the user that it no longer exists. Logs
// "cmdShowList: <description>" on failure.
void OpenReminderInList(qint32 reminderId);
