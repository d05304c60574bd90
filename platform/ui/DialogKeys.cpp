#include "platform/ui/DialogKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

bool handleDialogKey(const QKeyEvent* event, QAbstractButton* confirm, QAbstractButton* cancel)
{
    QAbstractButton* button = event->key() == Qt::Key_F9    ? confirm
                              : event->key() == Qt::Key_F12 ? cancel
                                                            : nullptr;
    if (button)
        button->click();
    return button != nullptr;
}
