#pragma once

#include "platform/AutoStart.h"
#include "platform/ProgramDir.h"

#include <QString>

// The auto-start entry "Veltrum Reminder" (platform/AutoStart.h) that starts
// the tray monitor Tolvane of the program directory at log-on. The package
// gives it to every user as "veltrum-reminder" (packaging/CMakeLists.txt).
namespace AutoRunEntry {

inline const AutoStart::Entry entry = {QStringLiteral("Veltrum Reminder"),
                                       QStringLiteral("veltrum-reminder")};
inline const QString icon = QStringLiteral("veltrum-reminder");
inline QString program()
{
    return ProgramDir::file(QStringLiteral("Tolvane"));
}

} // namespace AutoRunEntry
