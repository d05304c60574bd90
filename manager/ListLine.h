#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

class RowCursor;
struct ReminderTexts;

// One line of the manager window's list: fixed-width columns joined by the
// separator U+05C3, 96 characters with or without the author column, so the
// headers line up above them in a fixed-width font.

inline constexpr QChar kListSeparator = QChar(0x05C3);
inline constexpr int kListLineLength = 96;

// The value's text cut or padded with blanks to exactly L characters; null gives L blanks.
QString FixFormat(const QVariant& S, int L);
// The value's text (empty when null): tab and CR become one blank each, LF is removed.
QString ExcludeTAB(const QVariant& S);
// The text before the first CR LF pair, or the whole text.
QString GetFirstLine(const QString& S);

// The columns of a line, right to left. Author only when LAN receiving is on.
enum class ListColumn {
    DueDate,
    Registered,
    Caption,
    Importance,
    EventType,
    Author,
    Details,
    Active
};

struct ListColumnSpan
{
    ListColumn column;
    int start; // first character of the column in the line
    int width; // characters; the last column is not padded, its width is its text's
};

// The text of one of the columns.
const QString& textOf(const ReminderTexts& texts, ListColumn column);

// The spans of the columns present in a line (the author column only withAuthor).
QVector<ListColumnSpan> listColumnSpans(bool withAuthor);

// The line of the record set's current row.
QString BuildListLine(const RowCursor& rs, bool withAuthor);
