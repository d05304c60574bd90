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

// The answers a box offers, its first button first.
QList<Prompt::Answer> offered(Prompt::Buttons b)
{
    using A = Prompt::Answer;
    switch (b) {
    case Prompt::Buttons::Ok:
        return {A::Ok};
    case Prompt::Buttons::OkCancel:
        return {A::Ok, A::Cancel};
    case Prompt::Buttons::AbortRetryIgnore:
        return {A::Abort, A::Retry, A::Ignore};
    case Prompt::Buttons::YesNoCancel:
        return {A::Yes, A::No, A::Cancel};
    case Prompt::Buttons::YesNo:
        return {A::Yes, A::No};
    case Prompt::Buttons::RetryCancel:
        return {A::Retry, A::Cancel};
    }
    return {A::Ok};
}

// KV_PROMPT_ANSWER when the box offers it, else the first button.
Prompt::Answer answerFor(Prompt::Buttons b)
{
    static const QStringList names = {"Ok", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    const int index = names.indexOf(qEnvironmentVariable("KV_PROMPT_ANSWER"));
    const QList<Prompt::Answer> answers = offered(b);
    // The answers are numbered from 1 in the order of the names.
    return index >= 0 && answers.contains(Prompt::Answer(index + 1)) ? Prompt::Answer(index + 1)
                                                                     : answers.first();
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
            return answerFor(p.buttons);
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
