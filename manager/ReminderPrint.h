#pragma once

#include <QString>

class DefaultPrinter;
class Snapshot;

// The printouts of the manager window, on the default printer. Both throw
// Failure; withAuthor adds the author, as the list shows it with LAN
// receiving on.

// The reminder with that RMain_Id as a labelled card; nothing when it is gone.
void PrintCurrent(qint32 id, bool withAuthor);
// Every row of the record set, in its order, as a numbered fixed-width
// table; nothing when it is empty. The set's own position does not move.
void PrintList(const Snapshot& rows, bool withAuthor);

// Both begin with two empty lines and the title, bold, right to left.
void printTitle(DefaultPrinter& printer, const QString& title);
