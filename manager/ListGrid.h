#pragma once

#include "manager/ListLine.h"

#include <QFont>
#include <QRectF>

// The character grid of the list: every character of a line takes one cell
// of the fixed-width font's advance, counted from the right edge (right to
// left). Both the painting of the rows and the placing of the column headers
// use it, so the headers stay above their columns whatever the font metrics,
// and glyphs that come from a proportional fallback font (Hebrew) cannot
// shift the columns after them.
class ListGrid
{
public:
    explicit ListGrid(const QFont& font);

    static constexpr int kMargin = 4; // pixels between the viewport's right edge and the first cell

    qreal charWidth() const { return m_charWidth; }
    // The pixels a whole line needs, margins included.
    int lineWidth() const;
    // Characters [start, start + count) of a row whose area is row, right to left.
    QRectF cells(const QRect& row, int start, int count) const;
    // The same horizontally, for a viewport whose right edge is at x = right.
    qreal leftOf(qreal right, int start, int count) const;

private:
    qreal m_charWidth;
};

// The list's own font: "Courier New", which fontconfig maps to a metric twin
// (Liberation Mono), falling back to any fixed-width font.
QFont listFont();
