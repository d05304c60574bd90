#include "platform/ui/Prompt.h"

#include "platform/ui/ModalWindows.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
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

// Each answer, the standard button that gives it and the button's text. The
// texts are Qt's own Hebrew ones (qtbase_he), set here too so that a
// desktop without Qt's translations still reads Hebrew.
struct AnswerButton
{
    Answer answer;
    QMessageBox::StandardButton button;
    const char* text;
};
constexpr AnswerButton kAnswerButtons[] = {{Answer::Ok, QMessageBox::Ok, "אישור"},
                                           {Answer::Cancel, QMessageBox::Cancel, "ביטול"},
                                           {Answer::Abort, QMessageBox::Abort, "בטל"},
                                           {Answer::Retry, QMessageBox::Retry, "נסה שוב"},
                                           {Answer::Ignore, QMessageBox::Ignore, "התעלם"},
                                           {Answer::Yes, QMessageBox::Yes, "כן"},
                                           {Answer::No, QMessageBox::No, "לא"}};

QMessageBox::StandardButton toStandard(Answer wanted)
{
    for (const AnswerButton& b : kAnswerButtons)
        if (b.answer == wanted)
            return b.button;
    return QMessageBox::NoButton;
}

// Any other button counts as Cancel.
Answer fromStandard(int clicked)
{
    for (const AnswerButton& b : kAnswerButtons)
        if (b.button == clicked)
            return b.answer;
    return Answer::Cancel;
}

QString buttonText(QMessageBox::StandardButton wanted)
{
    for (const AnswerButton& b : kAnswerButtons)
        if (b.button == wanted)
            return QString::fromUtf8(b.text);
    return QString();
}

// The window a question belongs to: the one given, else the window in use.
// It blocks that window only; the alerts and the other windows stay usable.
// Without any (the tray monitor has none), it blocks nothing.
QWidget* ownerOf(QWidget* parent)
{
    QWidget* owner = parent ? parent->window() : QApplication::activeWindow();
    return owner && owner->isVisible() ? owner : nullptr;
}

void askAsOwnWindow(QDialog& dialog)
{
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setLayoutDirection(Qt::RightToLeft);
}

// Room for the title beside the title bar's icon and buttons, which the
// desktop draws: a box sized by its text alone cuts a long title short.
constexpr int kTitleBarExtra = 160;

void widenForTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
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

MessageScript g_messageScript;
InputScript g_inputScript;

} // namespace

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

    QMessageBox box(messageIcon(icon), title, text, standardButtons(buttons), ownerOf(parent));
    askAsOwnWindow(box);
    for (QAbstractButton* button : box.buttons())
        button->setText(buttonText(box.standardButton(button)));
    widenForTitle(box);
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

    QInputDialog dialog(ownerOf(parent));
    askAsOwnWindow(dialog);
    dialog.setOkButtonText(buttonText(QMessageBox::Ok));
    dialog.setCancelButtonText(buttonText(QMessageBox::Cancel));
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
