// Built into the test builds of Kalvex and Tolvane only, for the end-to-end
// tests that drive the real programs from outside:
// - with KV_PROMPT_LOG naming a file, prompts are not shown: each is appended
//   to that file as one line "title|text" and answered with KV_PROMPT_ANSWER
//   (Ok, Cancel, Abort, Retry, Ignore, Yes, No; an input box takes
//   KV_PROMPT_INPUT) where the box offers it, else the first button;
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

// KV_PROMPT_ANSWER when the box offers it, else its first button. The answers
// are numbered from 1 in the order of the names.
Prompt::Answer answerFor(Prompt::Buttons b)
{
    using A = Prompt::Answer;
    static const QMap<Prompt::Buttons, QList<A>> offered = {
        {Prompt::Buttons::Ok, {A::Ok}},
        {Prompt::Buttons::OkCancel, {A::Ok, A::Cancel}},
        {Prompt::Buttons::AbortRetryIgnore, {A::Abort, A::Retry, A::Ignore}},
        {Prompt::Buttons::YesNoCancel, {A::Yes, A::No, A::Cancel}},
        {Prompt::Buttons::YesNo, {A::Yes, A::No}},
        {Prompt::Buttons::RetryCancel, {A::Retry, A::Cancel}}};
    static const QStringList names = {"Ok", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    const A wanted = A(names.indexOf(qEnvironmentVariable("KV_PROMPT_ANSWER")) + 1);
    const QList<A> answers = offered.value(b, {A::Ok});
    return answers.contains(wanted) ? wanted : answers.first();
}

// True when prompts are answered from the environment; logs the prompt.
bool logged(const Prompt::Shown& prompt)
{
    const QString logPath = qEnvironmentVariable("KV_PROMPT_LOG");
    if (logPath.isEmpty())
        return false;
    QFile log(logPath);
    if (log.open(QIODevice::Append)) {
        const QString line = prompt.title + QLatin1Char('|') + prompt.text;
        log.write(QString(line).replace('\n', ' ').replace('\r', ' ').append('\n').toUtf8());
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
        [](const Prompt::Shown& p) {
            return logged(p) ? std::optional(answerFor(p.buttons)) : std::nullopt;
        },
        [](const Prompt::Shown& p) {
            return logged(p) ? std::optional(qEnvironmentVariable("KV_PROMPT_INPUT"))
                             : std::nullopt;
        });
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QDBusConnection::sessionBus().registerObject(QStringLiteral("/TestHooks"), new TestHooks,
                                                     QDBusConnection::ExportAllSlots);
}
Q_COREAPP_STARTUP_FUNCTION(installTestHooks)

} // namespace

#include "TestHooks.moc"
