#include "manager/ListLine.h"

#include "manager/ReminderTexts.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

namespace {

// The padded widths of the columns present; without the author the details
// column takes the author's characters and separator.
QVector<std::pair<ListColumn, int>> columnWidths(bool withAuthor)
{
    QVector<std::pair<ListColumn, int>> widths;
    for (const ListColumnDef& def : shownListColumns(withAuthor)) {
        const bool widened = !withAuthor && def.column == ListColumn::Details;
        widths.append({def.column, def.width + (widened ? kAuthorWidth + 1 : 0)});
    }
    return widths;
}

} // namespace

QString listCellText(const ReminderTexts& t, ListColumn column)
{
    switch (column) {
    case ListColumn::Caption:
    case ListColumn::Author:
        return ExcludeTAB(textOf(t, column));
    case ListColumn::Details:
        return ExcludeTAB(GetFirstLine(t.details));
    default:
        return textOf(t, column);
    }
}

const QString& textOf(const ReminderTexts& texts, ListColumn column)
{
    switch (column) {
    case ListColumn::DueDate:
        return texts.due;
    case ListColumn::Registered:
        return texts.registered;
    case ListColumn::Caption:
        return texts.caption;
    case ListColumn::Importance:
        return texts.importance;
    case ListColumn::EventType:
        return texts.eventType;
    case ListColumn::Author:
        return texts.author;
    case ListColumn::Details:
        return texts.details;
    case ListColumn::Active:
        break;
    }
    return texts.active;
}

QString FixFormat(const QVariant& S, int L)
{
    if (S.isNull())
        return QString(L, QLatin1Char(' '));
    return S.toString().left(L).leftJustified(L, QLatin1Char(' '));
}

QString ExcludeTAB(const QVariant& S)
{
    QString text = S.isNull() ? QString() : S.toString();
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString GetFirstLine(const QString& S)
{
    const qsizetype end = S.indexOf(QStringLiteral("\r\n"));
    return end < 0 ? S : S.left(end);
}

QVector<ListColumnSpan> listColumnSpans(bool withAuthor)
{
    QVector<ListColumnSpan> spans;
    int start = 0;
    for (const auto& [column, width] : columnWidths(withAuthor)) {
        spans.append({column, start, width});
        start += width + 1; // the separator
    }
    return spans;
}
