#pragma once

#include "manager/ListColumns.h"

#include <QString>
#include <QVariant>
#include <QVector>

struct ReminderTexts;

// The list's columns as text: the padded fixed-width columns of the printed
// list, joined by the separator U+05C3 (96 characters with or without the
// author column), and the one-line texts of the window's table.

inline constexpr QChar kListSeparator = QChar(0x05C3);

// The value's text cut or padded with blanks to exactly L characters; null gives L blanks.
QString FixFormat(const QVariant& S, int L);
// The value's text (empty when null): tab and CR become one blank each, LF is removed.
QString ExcludeTAB(const QVariant& S);
// The text before the first CR LF pair, or the whole text.
QString GetFirstLine(const QString& S);

struct ListColumnSpan
{
    ListColumn column;
    int start; // first character of the column in the line
    int width; // characters; the last column is not padded, its width is its text's
};

// The text of one of the columns.
const QString& textOf(const ReminderTexts& texts, ListColumn column);
// The text a column shows before it is cut or padded: one line, no tabs.
QString listCellText(const ReminderTexts& texts, ListColumn column);

// The spans of the columns present in a line (the author column only withAuthor).
QVector<ListColumnSpan> listColumnSpans(bool withAuthor);
