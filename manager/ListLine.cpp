#include "ListLine.h"

#include "Recordset.h"
#include "Reminder.h"

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

// A date field in one of the fixed formats; null stays null so it shows as blanks.
QVariant formattedDate(const QVariant& v, QString (*format)(const Date&))
{
    if (v.isNull())
        return QVariant();
    return format(dateField(v));
}

QVariant codeName(const QVariant& v, QString (*name)(short))
{
    if (v.isNull())
        return QVariant();
    return name(short(v.toInt()));
}

// The value a column shows before it is cut or padded; null shows as blanks.
QVariant columnValue(const Snapshot& rs, ListColumn column)
{
    switch (column) {
    case ListColumn::DueDate:
        return formattedDate(rs.value(QStringLiteral("RDate")), formatDateTime);
    case ListColumn::Registered:
        return formattedDate(rs.value(QStringLiteral("RDate0")), formatDateOnly);
    case ListColumn::Caption:
        return ExcludeTAB(rs.value(QStringLiteral("RCaption")));
    case ListColumn::Importance:
        return codeName(rs.value(QStringLiteral("RImportance")), ImportanceName);
    case ListColumn::EventType:
        return codeName(rs.value(QStringLiteral("REventType")), EventTypeName);
    case ListColumn::Author:
        return ExcludeTAB(rs.value(QStringLiteral("RAuthor")));
    case ListColumn::Details:
        return ExcludeTAB(GetFirstLine(FieldText(rs.value(QStringLiteral("RDetail")))));
    case ListColumn::Active:
        return rs.value(QStringLiteral("RActive")).toBool() ? QStringLiteral("כן")
                                                            : QStringLiteral("לא");
    }
    return QVariant();
}

} // namespace

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

QString BuildListLine(const Snapshot& rs, bool withAuthor)
{
    QString line;
    line.reserve(kListLineLength);
    for (const auto& [column, width] : columnWidths(withAuthor)) {
        if (!line.isEmpty())
            line += kListSeparator;
        const QVariant value = columnValue(rs, column);
        line += column == ListColumn::Active ? value.toString() : FixFormat(value, width);
    }
    return line;
}
