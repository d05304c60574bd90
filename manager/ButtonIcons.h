#pragma once

#include <QIcon>

// The pictures of the manager window's picture buttons, drawn here so the
// window needs no image files.
enum class ButtonPicture {
    First,
    Previous,
    Next,
    Last,
    Refresh,
    Find,
    DeleteAll,
    Delete,
    Definitions,
    Exit
};

QIcon buttonIcon(ButtonPicture picture);
