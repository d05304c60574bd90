#pragma once

// Writes the earliest RNext of the active reminders without an open alert to
// "Reminder"/"NextDate" as "ddmmyyyyhhnn", or "NULL". Failures are logged
// with their description alone. The file is rewritten only when the value
// changes.
void PublishNextDate();
