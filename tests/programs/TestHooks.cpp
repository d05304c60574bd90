// Built into the test builds of Kalvex and Tolvane only, for the end-to-end
// tests that drive the real programs from outside:
// - with KV_PROMPT_LOG naming a file, prompts are not shown: each is appended
//   to that file as one line "title|text" and answered with KV_PROMPT_ANSWER
//   (Ok, Cancel, Abort, Retry, Ignore, Yes, No; an input box takes
//   KV_PROMPT_INPUT) or, without it or where the box does not offer it, the
//   first button (so one answer carries a test through a confirmation and
//   the question after it);
// - object /TestHooks, interface Kalvex.TestHooks, on the session bus:
//   Click(objectName) clicks a visible button of that name, as the user would;
//   SetText(objectName, text) types over a visible text box of that name.
#include "Prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QLineEdit>

namespace {

Prompt::Answer firstButton(Prompt::Buttons b)
{
    switch (b) {
    case Prompt::Buttons::Ok:
    case Prompt::Buttons::OkCancel:
        return Prompt::Answer::Ok;
    case Prompt::Buttons::AbortRetryIgnore:
        return Prompt::Answer::Abort;
    case Prompt::Buttons::YesNoCancel:
    case Prompt::Buttons::YesNo:
        return Prompt::Answer::Yes;
    case Prompt::Buttons::RetryCancel:
        return Prompt::Answer::Retry;
    }
    return Prompt::Answer::Ok;
}

Prompt::Answer answerNamed(const QString& name, Prompt::Answer fallback)
{
    static const QList<QPair<QString, Prompt::Answer>> names = {
        {"Ok", Prompt::Answer::Ok},         {"Cancel", Prompt::Answer::Cancel},
        {"Abort", Prompt::Answer::Abort},   {"Retry", Prompt::Answer::Retry},
        {"Ignore", Prompt::Answer::Ignore}, {"Yes", Prompt::Answer::Yes},
        {"No", Prompt::Answer::No}};
    for (const auto& [n, a] : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return a;
    return fallback;
}

bool offers(Prompt::Buttons b, Prompt::Answer answer)
{
    using A = Prompt::Answer;
    switch (b) {
    case Prompt::Buttons::Ok:
        return answer == A::Ok;
    case Prompt::Buttons::OkCancel:
        return answer == A::Ok || answer == A::Cancel;
    case Prompt::Buttons::AbortRetryIgnore:
        return answer == A::Abort || answer == A::Retry || answer == A::Ignore;
    case Prompt::Buttons::YesNoCancel:
        return answer == A::Yes || answer == A::No || answer == A::Cancel;
    case Prompt::Buttons::YesNo:
        return answer == A::Yes || answer == A::No;
    case Prompt::Buttons::RetryCancel:
        return answer == A::Retry || answer == A::Cancel;
    }
    return false;
}

// True when prompts are answered from the environment; logs the prompt.
bool logged(const Prompt::Shown& prompt)
{
    const QString logPath = qEnvironmentVariable("KV_PROMPT_LOG");
    if (logPath.isEmpty())
        return false;
    QFile log(logPath);
    if (log.open(QIODevice::Append)) {
        QString line = prompt.title + QLatin1Char('|') + prompt.text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' '))
            .replace(QLatin1Char('\r'), QLatin1Char(' '));
        log.write((line + QLatin1Char('\n')).toUtf8());
    }
    return true;
}

template <typename W> W* visibleNamed(const QString& objectName)
{
    for (QWidget* w : QApplication::allWidgets())
        if (auto* found = qobject_cast<W*>(w);
            found && found->objectName() == objectName && found->isVisible())
            return found;
    return nullptr;
}

class TestHooks : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Kalvex.TestHooks")
public slots:
    bool Click(const QString& objectName)
    {
        auto* button = visibleNamed<QAbstractButton>(objectName);
        // Queued: a modal window the click opens must not hold up the reply.
        return button &&
               QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    }
    bool SetText(const QString& objectName, const QString& text)
    {
        auto* box = visibleNamed<QLineEdit>(objectName);
        // Queued as well, so steps are carried out in the order asked.
        return box && QMetaObject::invokeMethod(
                          box, [box, text] { box->setText(text); }, Qt::QueuedConnection);
    }
};

void installTestHooks()
{
    Prompt::setScript(
        [](const Prompt::Shown& p) -> std::optional<Prompt::Answer> {
            if (!logged(p))
                return std::nullopt;
            const Prompt::Answer answer =
                answerNamed(qEnvironmentVariable("KV_PROMPT_ANSWER"), firstButton(p.buttons));
            return offers(p.buttons, answer) ? answer : firstButton(p.buttons);
        },
        [](const Prompt::Shown& p) -> std::optional<QString> {
            if (!logged(p))
                return std::nullopt;
            return qEnvironmentVariable("KV_PROMPT_INPUT");
        });
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QDBusConnection::sessionBus().registerObject(QStringLiteral("/TestHooks"), new TestHooks,
                                                     QDBusConnection::ExportAllSlots);
}
Q_COREAPP_STARTUP_FUNCTION(installTestHooks)

} // namespace

#include "TestHooks.moc"
