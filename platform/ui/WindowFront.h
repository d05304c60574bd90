#pragma once

class QWidget;

// Restores the window if minimised, shows it above all windows and, unless
// keepOnTop, takes the topmost state away again so other windows may later
// cover it.
void BringToFront(QWidget* window, bool keepOnTop);
