#pragma once

#include <utility>

class QAbstractButton;
class QKeyEvent;
class QPushButton;
class QWidget;

// F9 confirms and F12 cancels in every dialog that has those buttons: the
// key clicks the button, as the user's click would. True when the key was one of them.
bool handleDialogKey(const QKeyEvent* event, QAbstractButton* confirm, QAbstractButton* cancel);

// The two buttons under parent, captioned with their keys: "אישור (F9)"
// named cmdSave and "ביטול (F12)" named cmdCancel.
std::pair<QPushButton*, QPushButton*> NewDialogButtons(QWidget* parent);
