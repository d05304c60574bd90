#pragma once

#include <QPixmap>

// The about box's logo, drawn by the program: an alarm-clock face.
QPixmap aboutLogoPixmap(int size);
