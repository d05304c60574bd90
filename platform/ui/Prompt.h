#pragma once

#include <QList>
#include <QString>

class QWidget;

// Message and input boxes, right to left, behind one seam that tests answer
// in advance (as KeePassXC's MessageBox::setNextAnswer).
//
// Cross-process tests set KV_PROMPT_LOG to a file: prompts are then not shown,
// each is appended to that file as one line "title|text" and answered with
// KV_PROMPT_ANSWER (Ok, Cancel, Abort, Retry, Ignore, Yes, No; an input box
// takes KV_PROMPT_INPUT) or, without it, the first button.
namespace Prompt {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
// The values of the classic message-box answers.
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
               Icon icon);
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
};
const QList<Shown>& history(); // every prompt asked in this process
void clearHistory();

} // namespace Prompt
