#pragma once

// Writes the earliest RNext of the active reminders without an open alert to
// "Reminder"/"NextDate" as "ddmmyyyyhhnn", or "NULL". Failures are logged
// with their description alone. The file is rewritten only when the value
// changes.
void PublishNextDate();

// PublishNextDate soon: at the end of the current turn of the event loop,
// and during a burst of changes once every kPublishGapMs at most, so a
// thousand writes in a row neither rewrite the settings file a thousand
// times nor leave it stale once they end.
void PublishNextDateSoon();
inline constexpr int kPublishGapMs = 100;
