// In the test builds of Kalvex and Tolvane only, for the end-to-end tests:
// - with KV_PROMPT_LOG naming a file, each prompt is appended to it as "title|text" instead of
//   shown, and answered with KV_PROMPT_ANSWER where offered (input boxes: KV_PROMPT_INPUT);
// - /TestHooks (Kalvex.TestHooks) on the session bus clicks buttons, types into text boxes and
//   reads labels, text boxes and list boxes.
#include "platform/ui/Prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

// The answers are numbered from 1 in the order of the names.
static Prompt::Answer answerFor(Prompt::Buttons b)
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

static bool logged(const Prompt::Shown& p)
{
    QFile log(qEnvironmentVariable("KV_PROMPT_LOG"));
    if (!log.fileName().isEmpty() && log.open(QIODevice::Append))
        log.write(QString(p.title + '|' + p.text).replace('\n', ' ').replace('\r', ' ').toUtf8() +
                  '\n');
    return !log.fileName().isEmpty();
}

template <typename W> static W* visibleNamed(const QString& objectName)
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
    // What a visible control shows: a label's or a text box's text, else its window title.
    QString Text(const QString& objectName) const
    {
        if (const auto* label = visibleNamed<QLabel>(objectName))
            return label->text();
        if (const auto* box = visibleNamed<QLineEdit>(objectName))
            return box->text();
        const auto* widget = visibleNamed<QWidget>(objectName);
        return widget ? widget->windowTitle() : QString();
    }
    // The lines of a visible list box, top to bottom.
    QStringList Items(const QString& objectName) const
    {
        QStringList lines;
        if (const auto* list = visibleNamed<QListWidget>(objectName))
            for (int i = 0; i < list->count(); ++i)
                lines << list->item(i)->text();
        return lines;
    }
};

static void installTestHooks()
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

#include "TestHooks.moc"
