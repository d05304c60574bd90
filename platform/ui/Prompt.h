#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Message and input boxes, right to left, behind one seam that tests answer
// in advance (as KeePassXC's MessageBox::setNextAnswer). A box is modal to
// its window only (the parent's, else the window in use): the alerts and the
// program's other windows stay usable while it is open. Its buttons read
// Hebrew, and it is wide enough to show its title whole. A box ended by a
// close request (see ModalWindows.h) answers as its Cancel would: Cancel, or
// No, Abort, Ok where the box has no Cancel; an input box the empty text.
namespace Prompt {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
// The answers, numbered from 1 in this order (the test builds name them by it).
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// defaultAnswer names the button Enter presses; without it the box's first
// accepting button (Ok, Yes, Retry).
Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
               Icon icon, std::optional<Answer> defaultAnswer = std::nullopt);
// What a box with these buttons answers when it ends without a button: its
// Cancel, or the nearest thing to it (No, Abort, Ok).
Answer cancelAnswer(Buttons buttons);
// The text typed, or the empty text on Cancel.
QString input(QWidget* parent, const QString& prompt, const QString& title,
              const QString& defaultText = QString());

// Test seam. Queued answers are used first-in first-out; while any are
// queued no box is shown.
void setNextAnswer(Answer answer);
void setNextInput(const QString& text);
struct Shown
{
    QString title;
    QString text;
    Buttons buttons;
    Icon icon;
    std::optional<Answer> defaultAnswer = std::nullopt;
};
const QList<Shown>& history(); // every prompt asked in this process
void clearHistory();

// Test programs that are driven from outside (the end-to-end builds) answer
// prompts through a script; a prompt the script answers is not shown.
using MessageScript = std::function<std::optional<Answer>(const Shown& prompt)>;
using InputScript = std::function<std::optional<QString>(const Shown& prompt)>;
void setScript(MessageScript message, InputScript input);

} // namespace Prompt
