#pragma once

#include <QString>

#include <functional>

class QRect;
class QWidget;

// The notice "UndoDelete" that offers, for kShownMs, to take back a deletion
// just made: what was deleted, and the button "בטל מחיקה" (cmdUndo). It
// comes up on top where the deletion was made without taking the keyboard
// from the window in use; a click on it, or its entry in the task bar, gives
// it the keyboard (Enter takes the deletion back, Escape closes the notice).
// It closes by itself. A deletion made while it shows joins it and starts its
// time again; the undo takes back every one it holds, the latest first. While
// it shows, the program has a window open and keeps running.
namespace UndoDelete {

inline constexpr int kShownMs = 10000;
// The deletions one notice holds at most; an older one can no longer be taken back.
inline constexpr int kMaxHeld = 100;

// text tells what was deleted; undo takes it back and gives the empty text,
// or why it could not, which the notice then shows. The notice stands over
// the middle of near (global coordinates), inside its screen.
void offer(const QString& text, std::function<QString()> undo, const QRect& near);
// As the button does; false when no notice shows.
bool undoNow();
// The notice while it shows, else nullptr.
QWidget* notice();
// How long a notice shows from its last deletion (tests shorten it).
void setShownMs(int ms);

} // namespace UndoDelete
