#include "platform/ui/DialogKeys.h"

#include "platform/ui/Named.h"

#include <QKeyEvent>
#include <QPushButton>

bool handleDialogKey(const QKeyEvent* event, QAbstractButton* confirm, QAbstractButton* cancel)
{
    QAbstractButton* button = event->key() == Qt::Key_F9    ? confirm
                              : event->key() == Qt::Key_F12 ? cancel
                                                            : nullptr;
    if (button)
        button->click();
    return button != nullptr;
}

std::pair<QPushButton*, QPushButton*> NewDialogButtons(QWidget* parent)
{
    auto* confirm =
        named(new QPushButton(QStringLiteral("אישור (F9)"), parent), QStringLiteral("cmdSave"));
    return {confirm, named(new QPushButton(QStringLiteral("ביטול (F12)"), parent),
                           QStringLiteral("cmdCancel"))};
}
