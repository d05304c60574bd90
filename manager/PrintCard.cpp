#include "manager/ReminderPrint.h"
#include "manager/ReminderTexts.h"
#include "platform/ui/DefaultPrinter.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderDb.h"

#include <QList>

void printTitle(DefaultPrinter& printer, const QString& title)
{
    printer.print(QStringLiteral("\r\n"));
    // "Areal" is asked for by that name; the font system puts its own in its place.
    printer.setFontName(QStringLiteral("Areal"));
    printer.setRightToLeft(true);
    printer.setFontSize(12);
    printer.setBold(true);
    printer.print(QStringLiteral("    ") + title + QStringLiteral("\r\n"));
}

// The labels are 14 characters wide, so the values line up in the fixed-width font.
void PrintCurrent(qint32 id, bool withAuthor)
{
    auto db = OpenReminderDb();
    const Snapshot rs(*db, Queries::byId(id));
    if (rs.recordCount() == 0)
        return;
    const ReminderTexts t = reminderTexts(rs);

    DefaultPrinter printer;
    printTitle(printer, QStringLiteral("תזכורון ולטרום - הדפסת תזכורת נוכחית"));
    printer.setFontSize(10);
    printer.setBold(false);
    printer.setFontName(QStringLiteral("Courier New"));
    QList<std::pair<QString, QString>> fields = {{QStringLiteral("תאריך יעד:    "), t.due},
                                                 {QStringLiteral("תאריך רישום:  "), t.registered},
                                                 {QStringLiteral("הכותרת:       "), t.caption},
                                                 {QStringLiteral("חשיבות:       "), t.importance},
                                                 {QStringLiteral("סוג מופע:     "), t.eventType}};
    if (withAuthor)
        fields.append({QStringLiteral("מחבר:         "), t.author});
    fields.append({QStringLiteral("פרטים:        "), t.details});
    fields.append({QStringLiteral("פעיל:         "), t.active});
    for (const auto& [label, value] : fields)
        printer.print(QStringLiteral("    ") + label + value);
    printer.endDoc();
}
