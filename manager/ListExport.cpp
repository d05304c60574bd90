#include "manager/ListExport.h"

#include "manager/ReminderTexts.h"
#include "store/Recordset.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

const QString kTab = QStringLiteral("\t");
const QString kLineEnd = QStringLiteral("\r\n");

QString headerRow(bool withAuthor)
{
    QStringList cells = {QStringLiteral("תאריך יעד"), QStringLiteral("תאריך רישום"),
                         QStringLiteral("הכותרת"), QStringLiteral("חשיבות"),
                         QStringLiteral("סוג מופע")};
    if (withAuthor)
        cells << QStringLiteral("מחבר");
    cells << QStringLiteral("פעיל") << QStringLiteral("פרטים");
    return cells.join(kTab);
}

QString row(const ReminderTexts& t, bool withAuthor)
{
    QStringList cells = {t.due, t.registered, t.caption, t.importance, t.eventType};
    if (withAuthor)
        cells << t.author;
    // Each further line of the details starts under the details column.
    const QString continued = kLineEnd + kTab.repeated(cells.size() + 1);
    QString details = t.details;
    details.replace(kLineEnd, continued);
    cells << t.active << details;
    return cells.join(kTab);
}

} // namespace

QString ListAsText(const Snapshot& rows, bool withAuthor)
{
    Snapshot copy = rows.clone();
    if (copy.recordCount() == 0)
        return QString();
    QString text = headerRow(withAuthor);
    for (copy.moveFirst(); !copy.eof(); copy.moveNext())
        text += kLineEnd + row(reminderTexts(copy), withAuthor);
    return text;
}

void CopyToClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}
