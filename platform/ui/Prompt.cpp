#include "platform/ui/Prompt.h"

#include "platform/ui/ModalWindows.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QQueue>

#include <utility>

namespace Prompt {
namespace {

QQueue<Answer> g_answers;
QQueue<QString> g_inputs;
QList<Shown> g_history;

QMessageBox::StandardButtons standardButtons(Buttons b)
{
    switch (b) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Each answer and the standard button that gives it.
constexpr std::pair<Answer, QMessageBox::StandardButton> kAnswerButtons[] = {
    {Answer::Ok, QMessageBox::Ok},         {Answer::Cancel, QMessageBox::Cancel},
    {Answer::Abort, QMessageBox::Abort},   {Answer::Retry, QMessageBox::Retry},
    {Answer::Ignore, QMessageBox::Ignore}, {Answer::Yes, QMessageBox::Yes},
    {Answer::No, QMessageBox::No}};

QMessageBox::StandardButton toStandard(Answer wanted)
{
    for (const auto& [answer, button] : kAnswerButtons)
        if (answer == wanted)
            return button;
    return QMessageBox::NoButton;
}

// Any other button counts as Cancel.
Answer fromStandard(int clicked)
{
    for (const auto& [answer, button] : kAnswerButtons)
        if (button == clicked)
            return answer;
    return Answer::Cancel;
}

QMessageBox::Icon messageIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// What the box answers when it ends without a button: the Cancel of its
// buttons, or the nearest thing to it.
Answer cancelAnswer(Buttons b)
{
    switch (b) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        break;
    }
    return Answer::Cancel;
}

MessageScript g_messageScript;
InputScript g_inputScript;

} // namespace

Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
               Icon icon, std::optional<Answer> defaultAnswer)
{
    g_history.append({title, text, buttons, icon, defaultAnswer});
    // A close request is being carried out: no question is put meanwhile.
    if (ModalWindows::ending())
        return cancelAnswer(buttons);
    if (!g_answers.isEmpty())
        return g_answers.dequeue();
    if (g_messageScript)
        if (const std::optional<Answer> scripted = g_messageScript(g_history.last()))
            return *scripted;

    QMessageBox box(messageIcon(icon), title, text, standardButtons(buttons), parent);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setTextFormat(Qt::PlainText);
    // A selectable text is laid out line by line after each line's first
    // letter (a line that starts in Latin at the left); a plain one paints
    // every line right to left at the right edge, as a message box reads.
    box.setTextInteractionFlags(Qt::NoTextInteraction);
    if (defaultAnswer)
        box.setDefaultButton(toStandard(*defaultAnswer));
    box.exec();
    if (!box.clickedButton()) // ended by a close request
        return cancelAnswer(buttons);
    return fromStandard(box.standardButton(box.clickedButton()));
}

QString input(QWidget* parent, const QString& prompt, const QString& title,
              const QString& defaultText)
{
    g_history.append({title, prompt, Buttons::OkCancel, Icon::None});
    if (ModalWindows::ending())
        return QString();
    if (!g_inputs.isEmpty())
        return g_inputs.dequeue();
    if (g_inputScript)
        if (const std::optional<QString> scripted = g_inputScript(g_history.last()))
            return *scripted;

    QInputDialog dialog(parent);
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

void setNextAnswer(Answer answer)
{
    g_answers.enqueue(answer);
}
void setNextInput(const QString& text)
{
    g_inputs.enqueue(text);
}
void setScript(MessageScript message, InputScript input)
{
    g_messageScript = std::move(message);
    g_inputScript = std::move(input);
}
const QList<Shown>& history()
{
    return g_history;
}
void clearHistory()
{
    g_history.clear();
    g_answers.clear();
    g_inputs.clear();
}

} // namespace Prompt
