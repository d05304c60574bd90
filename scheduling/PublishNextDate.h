#pragma once

// Writes the earliest RNext of the active reminders without an open alert to
// "Reminder"/"NextDate" as "ddmmyyyyhhnn", or "NULL". Failures are logged
// with their description alone. The file is rewritten only when the value
// changes.
void PublishNextDate();

// While one lives, PublishNextDate only notes that it was asked for; the last
// to end publishes once, if asked. Work on many reminders in a row (closing
// every alert) publishes once at its end instead of once per reminder.
class HeldPublication
{
public:
    HeldPublication();
    ~HeldPublication();
    HeldPublication(const HeldPublication&) = delete;
    HeldPublication& operator=(const HeldPublication&) = delete;
};

// PublishNextDate soon: at the end of the current turn of the event loop,
// and during a burst of changes once every kPublishGapMs at most, so a
// thousand writes in a row neither rewrite the settings file a thousand
// times nor leave it stale once they end.
void PublishNextDateSoon();
inline constexpr int kPublishGapMs = 100;

// From now on PublishNextDateSoon whenever the change watch sees a write of
// another program (ReminderChanges::changedElsewhere): a row it added may
// fall due before the time published. Kalvex's own writes publish by
// themselves (ReminderWrites.h).
void publishOnOutsideChanges();
