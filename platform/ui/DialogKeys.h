#pragma once

class QAbstractButton;
class QKeyEvent;

// F9 confirms and F12 cancels in every dialog that has those buttons: the
// key clicks the button, as the user's click would. True when the key was one of them.
bool handleDialogKey(const QKeyEvent* event, QAbstractButton* confirm, QAbstractButton* cancel);
