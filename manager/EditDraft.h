#pragma once

#include "store/ReminderRecord.h"

#include <optional>

// The manager window's edit that a close from outside (the tray's exit, the
// end of the session) interrupted: what the editor held, kept beside the
// database until the window next opens and offers it back.
struct EditDraft
{
    // The editor's fields; RMain_Id 0 for a new reminder, SentTo the list.
    ReminderRecord record;
    bool send = false;   // "שלח ברשת"
    bool toList = false; // to the list rather than to everybody
};

// A draft larger than this is not one the editor wrote.
inline constexpr qint64 kMaxDraftBytes = 256 * 1024;

// Replaces the kept draft, whole or not at all; a failure is logged.
void keepEditDraft(const EditDraft& draft);
// Removes the kept draft.
void discardEditDraft();
// The kept draft, removed from the disk as it is read; nothing when there is
// none, or when it is damaged or too large (then logged).
std::optional<EditDraft> takeEditDraft();
