#include "manager/ManagerMemory.h"

#include "common/Ini.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

const QString kSection = QStringLiteral("RMain");
const QString kGeometry = QStringLiteral("Geometry"); // "x,y,width,height"
const QString kShowFilter = QStringLiteral("ShowFilter");
const QString kSortField = QStringLiteral("SortField");
const QString kSortDesc = QStringLiteral("SortDesc");
const QString kWidths = QStringLiteral("Widths"); // pixels, the columns' order, 0 for the title

constexpr int kLargest = 10000; // pixels; anything wider is not a width the user dragged

std::optional<QRect> readGeometry()
{
    const QStringList parts = ReadIni(kSection, kGeometry, QString()).split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || qAbs(values[i]) > 100000)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

bool knownSortField(const QString& field)
{
    for (const ListColumnDef& def : listColumnDefs())
        if (fieldName(def.sortField) == field)
            return true;
    return false;
}

QHash<ListColumn, int> readWidths()
{
    QHash<ListColumn, int> widths;
    const QStringList parts = ReadIni(kSection, kWidths, QString()).split(QLatin1Char(','));
    const QVector<ListColumnDef>& columns = listColumnDefs();
    for (int i = 0; i < qMin(parts.size(), columns.size()); ++i) {
        const int width = parts[i].trimmed().toInt();
        if (width > 0 && width <= kLargest)
            widths.insert(columns[i].column, width);
    }
    return widths;
}

} // namespace

ManagerMemory ManagerMemory::read()
{
    ManagerMemory memory;
    memory.geometry = readGeometry();
    const int filter = ReadIni(kSection, kShowFilter, QStringLiteral("2")).toInt();
    memory.showFilter = short(filter >= 0 && filter <= 2 ? filter : 2);
    const QString field = ReadIni(kSection, kSortField, memory.sortField);
    if (knownSortField(field)) {
        memory.sortField = field;
        memory.sortDesc = ReadIni(kSection, kSortDesc, QStringLiteral("0")) == QStringLiteral("1");
    }
    memory.widths = readWidths();
    return memory;
}

void ManagerMemory::write() const
{
    if (geometry)
        WriteIni(kSection, kGeometry,
                 QStringLiteral("%1,%2,%3,%4")
                     .arg(geometry->x())
                     .arg(geometry->y())
                     .arg(geometry->width())
                     .arg(geometry->height()));
    WriteIni(kSection, kShowFilter, QString::number(showFilter));
    WriteIni(kSection, kSortField, sortField);
    WriteIni(kSection, kSortDesc, sortDesc ? QStringLiteral("1") : QStringLiteral("0"));
    QStringList parts;
    for (const ListColumnDef& def : listColumnDefs())
        parts << QString::number(widths.value(def.column, 0));
    WriteIni(kSection, kWidths, parts.join(QLatin1Char(',')));
}

QRect keptOnScreen(const QRect& inside, const QMargins& frame)
{
    const QScreen* screen = QGuiApplication::screenAt(inside.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return inside;
    const QRect area = screen->availableGeometry().marginsRemoved(frame);
    QRect kept(inside.topLeft(), inside.size().boundedTo(area.size()));
    kept.moveLeft(qBound(area.left(), kept.left(), area.right() + 1 - kept.width()));
    kept.moveTop(qBound(area.top(), kept.top(), area.bottom() + 1 - kept.height()));
    return kept;
}
