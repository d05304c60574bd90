#include "manager/ListGrid.h"

#include <QFontMetricsF>

#include <cmath>

ListGrid::ListGrid(const QFont& font)
    : m_charWidth(
          QFontMetricsF(font).horizontalAdvance(QString(kListLineLength, QLatin1Char('0'))) /
          kListLineLength)
{}

int ListGrid::lineWidth() const
{
    return int(std::ceil(kListLineLength * m_charWidth)) + 2 * kMargin;
}

qreal ListGrid::leftOf(qreal right, int start, int count) const
{
    return right - kMargin - (start + count) * m_charWidth;
}

QRectF ListGrid::cells(const QRect& row, int start, int count) const
{
    const qreal right = row.x() + row.width();
    return QRectF(leftOf(right, start, count), row.y(), count * m_charWidth, row.height());
}

QFont listFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    return font;
}
