#include "common/ui/OfficeLock.h"

#include "common/Ini.h"

#include <QWidget>

void ShowOfficeLock(QWidget* control, const QString& section, const QString& key)
{
    if (!isLockedByOffice(section, key))
        return;
    control->setEnabled(false);
    control->setToolTip(QStringLiteral("ההגדרה נקבעה על ידי המשרד ואי אפשר לשנות אותה כאן"));
}
