#pragma once

#include <QString>

// Query texts shared by the whole program. "Now()" is the clock seam's now to
// the millisecond (Clock::preciseSerial), evaluated by the database; TRUE and FALSE are 1 and 0.
namespace Queries {

inline QString byId(qint64 id)
{
    return QStringLiteral("SELECT * FROM Main_tbl WHERE RMain_Id = %1").arg(id);
}
// The rows with these RMain_Id, given as decimal numbers separated by commas.
inline QString byIds(const QString& ids)
{
    return QStringLiteral("SELECT * FROM Main_tbl WHERE RMain_Id IN (%1)").arg(ids);
}
// What the alert list shows of the rows with these RMain_Id (given as byIds).
inline QString alertRowsByIds(const QString& ids)
{
    return QStringLiteral("SELECT RMain_Id,RCaption,RDate,RNext,RImportance FROM Main_tbl WHERE "
                          "RMain_Id IN (%1)")
        .arg(ids);
}
inline QString byBroadcastId(qint64 id)
{
    return QStringLiteral("SELECT * FROM Main_tbl WHERE BroadcastId = %1").arg(id);
}
// A shared reminder among this installation's received copies, or among the
// reminders it authored: a received update or deletion never reaches an
// authored row, an acknowledgement never a copy.
inline QString copyByBroadcastId(qint64 id)
{
    return byBroadcastId(id) + QStringLiteral(" AND IAMAuthor = FALSE");
}
inline QString authoredByBroadcastId(qint64 id)
{
    return byBroadcastId(id) + QStringLiteral(" AND IAMAuthor = TRUE");
}
inline const QString all = QStringLiteral("SELECT * FROM Main_tbl");
// No row: an updatable set to add a row to, without reading the table.
inline const QString noRow = QStringLiteral("SELECT * FROM Main_tbl WHERE FALSE");
inline const QString due =
    QStringLiteral("SELECT * FROM Main_tbl WHERE RActive = TRUE AND RNext < Now()");
// The manager window's list: filter 0 the active reminders, 1 the inactive
// ones, anything else all; ordered by the field, ties by RMain_Id.
inline QString listFromWhere(short filter, const QString& sortField, bool descending)
{
    QString sql = QStringLiteral(" FROM Main_tbl");
    if (filter == 0)
        sql += QStringLiteral(" WHERE RActive = TRUE");
    else if (filter == 1)
        sql += QStringLiteral(" WHERE RActive = FALSE");
    sql += QStringLiteral(" ORDER BY ") + sortField;
    sql += descending ? QStringLiteral(" DESC, RMain_Id") : QStringLiteral(", RMain_Id");
    return sql;
}
inline QString list(short filter, const QString& sortField, bool descending)
{
    return QStringLiteral("SELECT *") + listFromWhere(filter, sortField, descending);
}
// The RMain_Id of the list's rows, in its order.
inline QString listOrder(short filter, const QString& sortField, bool descending)
{
    return QStringLiteral("SELECT RMain_Id") + listFromWhere(filter, sortField, descending);
}
// Active reminders by next alert time. A null RNext never falls due, so it
// is left out.
inline const QString activeByNext =
    QStringLiteral("SELECT RMain_Id,RNext FROM Main_tbl WHERE RActive = TRUE AND RNext IS NOT NULL "
                   "ORDER BY RNext");

// The received copies of one author: how many, and how many characters
// their titles and details hold. The author is bound as "?", or not at all
// for the empty author, whose copies store null.
inline QString copyHolding(bool emptyAuthor)
{
    return QStringLiteral("SELECT COUNT(*), TOTAL(IFNULL(LENGTH(RCaption), 0) + "
                          "IFNULL(LENGTH(RDetail), 0)) FROM Main_tbl WHERE IAMAuthor = 0 AND ") +
           (emptyAuthor ? QStringLiteral("(RAuthor IS NULL OR RAuthor = '')")
                        : QStringLiteral("RAuthor = ?"));
}

} // namespace Queries
