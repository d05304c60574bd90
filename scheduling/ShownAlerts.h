#pragma once

#include <QtGlobal>

#include <functional>

// The reminders whose alert window is open (process-wide, key "<id>N").
bool MarkShown(qint32 reminderId); // false when already present
bool IsShown(qint32 reminderId);
void UnmarkShown(qint32 reminderId);

// Opens the alert window for one reminder unless one is open already.
void ShowAlert(qint32 reminderId);

// How ShowAlert opens a window: the alert subsystem installs this at start-up
// (tests install an observer). It throws when the window cannot be opened.
using AlertOpener = std::function<void(qint32 reminderId)>;
void setAlertOpener(AlertOpener opener);
