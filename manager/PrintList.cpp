#include "manager/ListLine.h"
#include "manager/ReminderPrint.h"
#include "manager/ReminderTexts.h"
#include "platform/ui/DefaultPrinter.h"
#include "store/Recordset.h"

namespace {

QString heading(ListColumn column)
{
    switch (column) {
    case ListColumn::DueDate:
        return QStringLiteral("תאריך היעד");
    case ListColumn::Registered:
        return QStringLiteral("ת. רישום");
    case ListColumn::Caption:
        return QStringLiteral("הכותרת");
    case ListColumn::Importance:
        return QStringLiteral("חשיבות");
    case ListColumn::EventType:
        return QStringLiteral("סוג מופע");
    case ListColumn::Author:
        return QStringLiteral("מחבר");
    case ListColumn::Details:
        return QStringLiteral("פרטים");
    case ListColumn::Active:
        break;
    }
    return QStringLiteral("פעיל");
}

// The rows have the list's columns with a separator before each, behind a
// three-digit number; each heading is one character wider than its column,
// for the separator (102 characters a heading, 100 a row).
QString headerLine(bool withAuthor)
{
    QString line = FixFormat(QStringLiteral("מס'"), 4);
    for (const ListColumnSpan& span : listColumnSpans(withAuthor))
        line += span.column == ListColumn::Active ? heading(span.column)
                                                  : FixFormat(heading(span.column), span.width + 1);
    return line;
}

// Texts go in as stored: a line break within the details' first characters
// breaks the printed line.
QString rowLine(int number, const ReminderTexts& t, bool withAuthor)
{
    QString line = QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
    for (const ListColumnSpan& span : listColumnSpans(withAuthor)) {
        const QString& text = textOf(t, span.column);
        line += kListSeparator;
        line += span.column == ListColumn::Active ? text : FixFormat(text, span.width);
    }
    return line;
}

} // namespace

void PrintList(const Snapshot& rows, bool withAuthor)
{
    Snapshot copy = rows.clone();
    if (copy.recordCount() == 0)
        return;
    DefaultPrinter printer;
    printTitle(printer, QStringLiteral("תזכורון ולטרום - הדפסת רשימה"));
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(9);
    printer.setBold(false);
    printer.setUnderline(true);
    printer.print(headerLine(withAuthor));
    printer.setUnderline(false);
    int number = 1;
    for (copy.moveFirst(); !copy.eof(); copy.moveNext())
        printer.print(rowLine(number++, reminderTexts(copy), withAuthor));
    printer.endDoc();
}
