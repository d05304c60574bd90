#pragma once

#include <QString>

// Sends the close request to the top-level window, of this or any other
// process, whose title is exactly the caption (hidden windows included) and
// returns once the window has handled it. Does nothing when there is none;
// a window whose process does not answer in time is logged and left.
void CloseWindowByCaption(const QString& caption);
