#include "platform/ui/UiConventions.h"

#include "platform/ui/RightToLeftText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTranslator>
#include <QWindow>

namespace UiConventions {
namespace {

void loadHebrewTranslations()
{
    auto* translator = new QTranslator(qApp);
    if (!translator->load(QStringLiteral("qtbase_he"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator))
        delete translator;
}

bool isEnter(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The key goes to the focused widget: push buttons and picture buttons take
// it; check boxes and option buttons keep
// their own keys.
QAbstractButton* pressableButton(QObject* target)
{
    auto* button = qobject_cast<QAbstractButton*>(target);
    if (!button || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)))
        return nullptr;
    return button->isEnabled() && button->isVisible() ? button : nullptr;
}

class EnterPressesFocusedButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        QAbstractButton* button = isEnter(key) ? pressableButton(watched) : nullptr;
        if (!button)
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

// Qt opens a drop-down list wider than its box from the box's left edge,
// also right to left; there it belongs under the box's right edge, reading
// from the right like the box. The list is moved as it shows, before it is
// on screen, and kept on the screen.
class RightAlignedDropDowns : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            alignUnderBox(static_cast<QWidget*>(watched));
        return false;
    }

private:
    static void alignUnderBox(QWidget* list)
    {
        const auto* box = qobject_cast<const QComboBox*>(list->parentWidget());
        if (!box || !list->isWindow() || !box->isRightToLeft())
            return;
        const int boxRight = box->mapToGlobal(QPoint(box->width() - 1, 0)).x();
        QRect placed = list->geometry();
        placed.moveRight(boxRight);
        if (const QScreen* screen = box->screen())
            placed.moveLeft(qMax(placed.left(), screen->availableGeometry().left()));
        if (placed != list->geometry())
            list->setGeometry(placed);
    }
};

// Alerts stay above every window; a dialog a window opens (a question, the
// options, find) must not open hidden under one of them while it blocks its
// window. It stays on top too, set as it shows, before it is on screen, on
// the native window alone (changing the widget's flags would hide it).
class DialogsAboveAlerts : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow() && dialog->parentWidget() && dialog->windowHandle())
            dialog->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, true);
        return false;
    }
};

} // namespace

void install()
{
    static QPointer<QObject> installed; // gone with the application that owned it
    if (!qApp || installed)
        return;
    loadHebrewTranslations();
    QLocale::setDefault(QLocale(QLocale::Hebrew, QLocale::Israel));
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    RightToLeftText::install();
    installed = new QObject(qApp);
    for (QObject* filter : {static_cast<QObject*>(new EnterPressesFocusedButton(installed)),
                            static_cast<QObject*>(new RightAlignedDropDowns(installed)),
                            static_cast<QObject*>(new DialogsAboveAlerts(installed))})
        qApp->installEventFilter(filter);
}

} // namespace UiConventions
