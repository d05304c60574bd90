#pragma once

#include <QString>

class QWidget;

// Shows a setting the office has locked (common/Ini.h) as such: its control
// disabled, with a tooltip saying the office set it. Others are left alone.
void ShowOfficeLock(QWidget* control, const QString& section, const QString& key);
