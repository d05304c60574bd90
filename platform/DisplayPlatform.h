#pragma once

#include <QProcessEnvironment>
#include <QString>

// Wayland lets no client keep its window above the others or take the focus,
// and an alert that stays on top is what Kalvex is for. Where the session is
// Wayland and XWayland is there (DISPLAY is set), Kalvex's windows go through
// XWayland: Qt's xcb platform. A QT_QPA_PLATFORM the user has set stands.
namespace DisplayPlatform {

// The Qt platform for that environment; empty leaves the choice to Qt.
QString forAlerts(const QProcessEnvironment& env);
// Sets QT_QPA_PLATFORM by forAlerts; before the application object exists.
void chooseForAlerts();

} // namespace DisplayPlatform
