#pragma once

#include <QString>

// Gives a new control (widget, action, timer) its control name as objectName,
// by which the tests and the debug interface find it, and hands it back:
//     cmdSave = named(new QPushButton(caption, this), QStringLiteral("cmdSave"));
template <typename Control> Control* named(Control* control, const QString& name)
{
    control->setObjectName(name);
    return control;
}
