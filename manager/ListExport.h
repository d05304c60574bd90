#pragma once

#include <QString>

class Snapshot;

// The rows of the record set, in its order, as tab-separated text that a
// spreadsheet takes: a header row, then one row per reminder, rows joined by
// CR LF, the details last, their further lines continued in the details
// column of rows of their own. Empty when the set has no row. The set's own
// position does not move.
QString ListAsText(const Snapshot& rows, bool withAuthor);

// Places the text on the clipboard as Unicode text, replacing what it held.
void CopyToClipboard(const QString& text);
