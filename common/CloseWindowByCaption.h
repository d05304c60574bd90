#pragma once

#include "common/Log.h"
#include "platform/ui/WindowDirectory.h"

#include <QString>

// Sends the close request to the top-level window, of this or any other
// process, whose title is exactly the caption (hidden windows included) and
// returns once the window has handled it. Does nothing when there is none;
// a window whose process does not answer in time is logged and left.
// Inline, so that common itself needs no desktop library: its callers link
// kv_platform_ui.
inline void CloseWindowByCaption(const QString& caption)
{
    QString error;
    if (!WindowDirectory::close(caption, &error) && !error.isEmpty())
        WriteLog(QStringLiteral("CloseWindowByCaption: ") + error, LogError);
}
