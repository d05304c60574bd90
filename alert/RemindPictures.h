#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the alert window's marks and picture button, drawn here so
// the program ships no image files beyond the importance icons.
QPixmap lateMarkPicture(int size);     // a red clock: shown late
QPixmap postponeMarkPicture(int size); // a blue clock with a forward arrow: postponed before
QIcon deleteButtonIcon(int size);      // a waste bin
