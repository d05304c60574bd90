#pragma once

// What every window of both programs follows, set up once at start right
// after the QApplication exists:
// - Hebrew throughout: Qt's own Hebrew translations (qtbase_he, from the
//   distribution's Qt translations) give the standard texts of Qt's dialogs
//   and controls; without them Prompt still sets its buttons' texts. The
//   locale is Hebrew (Israel) whatever the system's: Hebrew month and day
//   names, weeks from Sunday, numbers and times as read in Israel.
// - Right to left throughout: the application's layout direction, so that
//   windows without a parent (the tray monitor's boxes and menu) and menus
//   open right-aligned and read from the right; text boxes
//   read from the right (RightToLeftText); a drop-down list wider than its
//   box opens under the box's right edge.
// - Dialogs opened by a window stay on top, as the alerts do, so none opens
//   hidden under an alert.
// - Enter presses the button that has the keyboard focus, in every window
//   (Qt leaves that to dialogs, and only to their auto-default buttons).
namespace UiConventions {

void install();

} // namespace UiConventions
