#pragma once

class QWidget;

// Whether the window brought to the front also takes the keyboard focus. An
// alert that pops up while the user types elsewhere leaves the focus there
// (the window is shown without activation; the user's click gives it focus).
enum class Activation { TakeFocus, LeaveFocus };

// Restores the window if minimised, shows it above all windows and, unless
// keepOnTop, takes the topmost state away again so other windows may later
// cover it.
void BringToFront(QWidget* window, bool keepOnTop, Activation activation = Activation::TakeFocus);
