#pragma once

#include <QString>

class RowCursor;

// One reminder as the list, the printouts and the copied list show it: the
// dates in their fixed formats, the codes by name, "כן"/"לא" for active; a
// null field gives the empty text. Texts are as stored (tabs, line breaks).
struct ReminderTexts
{
    QString due;        // RDate, "dd/mm/yyyy HH:nn"
    QString registered; // RDate0, "dd/mm/yyyy"
    QString caption;
    QString importance;
    QString eventType;
    QString author;
    QString details;
    QString active;
    // When a postponed reminder comes next (RNext, where it differs from
    // RDate): "HH:nn" on the due day, else "dd/mm/yyyy HH:nn"; else empty.
    QString postponedTo;
};

// The texts of the record set's current row.
ReminderTexts reminderTexts(const RowCursor& rs);
