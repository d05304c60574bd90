#pragma once

#include <QString>

// Text boxes of right-to-left windows read from the right.
//
// Every line of a text box takes its reading order from its first letter, as
// plain text does everywhere: a line that starts in Hebrew reads right to
// left (numbers, dates and Latin words inside it keep their own order), a
// line that starts with a Latin letter keeps the order it was typed in, and a
// line of digits and signs only (a phone number, a date) stays as typed.
// Every line, whatever its order, stands at the right edge, as the labels and
// fields around it do, and the caret of an empty box waits there.
//
// Covers single-line boxes (also those of editable combo boxes and input
// boxes), spin boxes, and plain and rich multi-line boxes, in any window laid
// out right to left; boxes of a left-to-right window or control (the date and
// time pickers) are left alone, and so is an alignment a window chose itself
// (centred, or right already).
namespace RightToLeftText {

// Installs the application-wide filter that applies the rule to each text
// box when it is first polished and when its window turns right to left.
// Called once by each program right after its QApplication exists.
void install();

// A text shown in a label or a desktop notice, made to read from the right even where a line
// starts with a Latin word ("Zoom עם הצוות", a Latin nickname): each such line is opened by a
// right-to-left mark, which Qt and the notification server alike take as the line's first
// letter. Lines that start in Hebrew, and lines of digits and signs only (a date, which must
// stay as written), are left as they are.
QString fromTheRight(const QString& text);

} // namespace RightToLeftText
