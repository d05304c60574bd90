#pragma once

#include "manager/ListColumns.h"

#include <QHash>
#include <QRect>
#include <QString>

#include <optional>

// What the manager window keeps from one opening to the next, for the user
// who runs the program: its place and size, the show filter, the sort and the
// list's column widths. Kept in the user's settings file, section "RMain", as
// every other setting; a value missing or out of range reads as the default.
struct ManagerMemory
{
    std::optional<QRect> geometry; // the window's inside, in screen coordinates
    short showFilter = 2;
    QString sortField = fieldName(ReminderField::RDate);
    bool sortDesc = false;
    QHash<ListColumn, int> widths;

    static ManagerMemory read();
    void write() const;
};

// The window's inside moved, and shrunk when needed, into the available area
// of the screen that holds its centre (the primary screen when none does), so
// a window remembered on a screen since removed still opens where it is seen.
QRect keptOnScreen(const QRect& inside, const QMargins& frame);
