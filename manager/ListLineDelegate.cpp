#include "manager/ListLineDelegate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

ListLineDelegate::ListLineDelegate(const QFont& font, QObject* parent)
    : QStyledItemDelegate(parent), m_font(font), m_grid(font),
      m_rowHeight(QFontMetrics(font).height() + 2)
{}

QSize ListLineDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(m_grid.lineWidth(), m_rowHeight);
}

void ListLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Active : QPalette::Disabled;
    painter->save();
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(m_font);

    const QString line = index.data().toString();
    for (qsizetype i = 0; i < m_spans.size(); ++i) {
        const ListColumnSpan& span = m_spans[i];
        const bool last = i == m_spans.size() - 1;
        const int count = last ? int(line.size()) - span.start : span.width;
        drawCells(painter, option.rect, line.mid(span.start, count), span.start, count);
        if (!last)
            drawCells(painter, option.rect, line.mid(span.start + span.width, 1),
                      span.start + span.width, 1);
    }
    painter->restore();
}

void ListLineDelegate::drawCells(QPainter* painter, const QRect& row, const QString& text,
                                 int start, int count) const
{
    if (count <= 0 || text.isEmpty())
        return;
    QTextOption option(Qt::AlignRight | Qt::AlignVCenter);
    option.setTextDirection(Qt::RightToLeft);
    option.setWrapMode(QTextOption::NoWrap);
    const QRectF cells = m_grid.cells(row, start, count);
    painter->save();
    painter->setClipRect(cells, Qt::IntersectClip);
    painter->drawText(cells, text, option);
    painter->restore();
}
