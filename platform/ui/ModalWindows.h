#pragma once

#include <functional>

// A close request (another program's Close() through the window directory,
// the end of the program) can arrive while modal windows are open: it is
// then delivered inside their nested event loops, and closing a window there
// pulls it away from under the code that opened the modal window. Such a
// request first ends every modal window (as its Cancel would) and is carried
// out once every nested loop has returned. Every modal window of the process
// is covered, whoever opens it.
namespace ModalWindows {

// Runs the action at once when no modal window is open; otherwise rejects
// every open modal window and runs the action once their event loops have
// returned to the level the first of them was opened from.
void endThen(std::function<void()> action);

// True while a request waits for the modal windows to end: a modal window
// shown meanwhile is rejected at once, and prompts answer without a box.
bool ending();

} // namespace ModalWindows
