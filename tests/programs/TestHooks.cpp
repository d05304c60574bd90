// In the test builds of Kalvex and Tolvane only, for the end-to-end tests:
// - with KV_PROMPT_LOG naming a file, each prompt is appended to it as "title|text" instead of
//   shown, and answered with KV_PROMPT_ANSWER where offered (input boxes: KV_PROMPT_INPUT);
// - /TestHooks (Kalvex.TestHooks) on the session bus clicks buttons, types into text boxes,
//   chooses in drop-down lists, sets pickers and reads labels, text boxes and lists.
#include "platform/ui/Prompt.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDBusConnection>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

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
        // Queued as well, so steps are carried out in the order asked.
        if (auto* box = visibleNamed<QLineEdit>(objectName))
            return later(box, [box, text] { box->setText(text); });
        auto* details = visibleNamed<QPlainTextEdit>(objectName);
        return details && later(details, [details, text] { details->setPlainText(text); });
    }
    bool Choose(const QString& objectName, int index)
    {
        auto* box = visibleNamed<QComboBox>(objectName);
        return box && later(box, [box, index] { box->setCurrentIndex(index); });
    }
    // A date or time picker, given "yyyy-MM-ddTHH:mm".
    bool SetDateTime(const QString& objectName, const QString& iso)
    {
        auto* picker = visibleNamed<QDateTimeEdit>(objectName);
        QDateTime value = QDateTime::fromString(iso, Qt::ISODate);
        if (picker)
            value.setTimeSpec(picker->timeSpec()); // the wall-clock time as given
        return picker && later(picker, [picker, value] { picker->setDateTime(value); });
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
    // The lines of a visible list box (or, when none has the name, list), top to bottom.
    QStringList Items(const QString& objectName) const
    {
        QStringList lines;
        const QAbstractItemView* list = visibleNamed<QListWidget>(objectName);
        if (!list)
            list = visibleNamed<QAbstractItemView>(objectName);
        if (list)
            for (int i = 0; i < list->model()->rowCount(); ++i)
                lines << list->model()->index(i, 0).data().toString();
        return lines;
    }

private:
    template <typename Step> static bool later(QObject* target, Step step)
    {
        return QMetaObject::invokeMethod(target, step, Qt::QueuedConnection);
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
