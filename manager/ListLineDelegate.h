#pragma once

#include "manager/ListGrid.h"

#include <QStyledItemDelegate>

// Paints a list line column by column into the cells of the list's grid.
class ListLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    ListLineDelegate(const QFont& font, QObject* parent);

    void setColumns(const QVector<ListColumnSpan>& spans) { m_spans = spans; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void drawCells(QPainter* painter, const QRect& row, const QString& text, int start,
                   int count) const;

    QFont m_font;
    ListGrid m_grid;
    int m_rowHeight;
    QVector<ListColumnSpan> m_spans;
};
