#pragma once

#include <QString>

// Titles by which the two programs find each other's windows.
inline QString managerWindowCaption() { return QStringLiteral("תזכורון ולטרום"); }
inline QString trayMainFormCaption() { return QStringLiteral("Veltrum Reminder Main Form"); }
// The usual title of the system's message boxes.
inline QString appTitle() { return QStringLiteral("תזכורון ולטרום"); }
