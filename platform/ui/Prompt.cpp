#include "Prompt.h"

#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QQueue>

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

Answer firstButton(Buttons b)
{
    switch (b) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::YesNoCancel:
    case Buttons::YesNo:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    }
    return Answer::Ok;
}

Answer fromStandard(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
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

// Answers from the environment for tests that drive the real executables.
bool scriptedAnswer(const QString& title, const QString& text, const QString& fallback,
                    QString* answer)
{
    const QString logPath = qEnvironmentVariable("KV_PROMPT_LOG");
    if (logPath.isEmpty())
        return false;
    QFile log(logPath);
    if (log.open(QIODevice::Append)) {
        QString line = title + QLatin1Char('|') + text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        log.write((line + QLatin1Char('\n')).toUtf8());
    }
    *answer = fallback;
    return true;
}

Answer answerNamed(const QString& name, Answer fallback)
{
    static const QList<QPair<QString, Answer>> names = {
        {"Ok", Answer::Ok},     {"Cancel", Answer::Cancel}, {"Abort", Answer::Abort},
        {"Retry", Answer::Retry}, {"Ignore", Answer::Ignore}, {"Yes", Answer::Yes},
        {"No", Answer::No}};
    for (const auto& [n, a] : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return a;
    return fallback;
}

} // namespace

Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
               Icon icon)
{
    g_history.append({title, text, buttons, icon});
    if (!g_answers.isEmpty())
        return g_answers.dequeue();
    QString scripted;
    if (scriptedAnswer(title, text, qEnvironmentVariable("KV_PROMPT_ANSWER"), &scripted))
        return answerNamed(scripted, firstButton(buttons));

    QMessageBox box(messageIcon(icon), title, text, standardButtons(buttons), parent);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setTextFormat(Qt::PlainText);
    // A selectable text is laid out line by line after each line's first
    // letter (a line that starts in Latin at the left); a plain one paints
    // every line right to left at the right edge, as a message box reads.
    box.setTextInteractionFlags(Qt::NoTextInteraction);
    return fromStandard(box.exec());
}

QString input(QWidget* parent, const QString& prompt, const QString& title,
              const QString& defaultText)
{
    g_history.append({title, prompt, Buttons::OkCancel, Icon::None});
    if (!g_inputs.isEmpty())
        return g_inputs.dequeue();
    QString scripted;
    if (scriptedAnswer(title, prompt, qEnvironmentVariable("KV_PROMPT_INPUT"), &scripted))
        return scripted;

    QInputDialog dialog(parent);
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

void setNextAnswer(Answer answer) { g_answers.enqueue(answer); }
void setNextInput(const QString& text) { g_inputs.enqueue(text); }
const QList<Shown>& history() { return g_history; }
void clearHistory()
{
    g_history.clear();
    g_answers.clear();
    g_inputs.clear();
}

} // namespace Prompt
