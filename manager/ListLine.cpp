#include "manager/ListLine.h"

#include "manager/ReminderTexts.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

namespace {

constexpr int kActiveWidth = 2; // "כן" / "לא"

int detailsWidth(bool withAuthor)
{
    return withAuthor ? 19 : 29;
}

QVector<std::pair<ListColumn, int>> columnWidths(bool withAuthor)
{
    QVector<std::pair<ListColumn, int>> widths = {{ListColumn::DueDate, 17},
                                                  {ListColumn::Registered, 10},
                                                  {ListColumn::Caption, 16},
                                                  {ListColumn::Importance, 8},
                                                  {ListColumn::EventType, 8}};
    if (withAuthor)
        widths.append({ListColumn::Author, kAuthorWidth});
    widths.append({ListColumn::Details, detailsWidth(withAuthor)});
    widths.append({ListColumn::Active, kActiveWidth});
    return widths;
}

// The text a column shows before it is cut or padded: one line, no tabs.
QString columnText(const ReminderTexts& t, ListColumn column)
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

} // namespace

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

QString BuildListLine(const RowCursor& rs, bool withAuthor)
{
    const ReminderTexts texts = reminderTexts(rs);
    QString line;
    line.reserve(kListLineLength);
    for (const auto& [column, width] : columnWidths(withAuthor)) {
        if (!line.isEmpty())
            line += kListSeparator;
        const QString text = columnText(texts, column);
        line += column == ListColumn::Active ? text : FixFormat(text, width);
    }
    return line;
}
