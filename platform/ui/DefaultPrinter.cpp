#include "DefaultPrinter.h"

#include "Failure.h"

#include <algorithm>

#include <QFontInfo>
#include <QPainter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace {

QPrinterInfo defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw Failure(QStringLiteral("There is no default printer"),
                      DefaultPrinter::kNoDefaultPrinter);
    return info;
}

Failure printerError(const QString& description)
{
    return Failure(description, 482);
}

// A fixed-pitch font can give a character no width that takes a cell on paper: in Liberation Mono,
// the stand-in for "Courier New", U+05C3, the list's column separator, comes out of shaping
// without width. Marks (vowel points) take none anyway.
bool lacksItsCell(QChar c, const QFontMetricsF& metrics)
{
    return !c.isMark() && metrics.horizontalAdvance(QString(c)) == 0; // as shaped
}

// The cells a text takes in a fixed-pitch font: one a character, none for marks.
int cellsOf(const QString& text)
{
    return int(std::count_if(text.cbegin(), text.cend(),
                             [](QChar c) { return !c.isMark() && !c.isLowSurrogate(); }));
}

Qt::Alignment sideOf(bool rightToLeft)
{
    return Qt::AlignAbsolute | (rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

bool needsCells(const QString& text, const QFont& font, const QFontMetricsF& metrics)
{
    return QFontInfo(font).fixedPitch() && std::any_of(text.cbegin(), text.cend(), [&](QChar c) {
               return lacksItsCell(c, metrics);
           });
}

} // namespace

DefaultPrinter::DefaultPrinter() : m_printer(defaultPrinter(), QPrinter::HighResolution)
{
    m_printer.setDocName(QStringLiteral("Kalvex"));
}

void DefaultPrinter::print(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineBreak))
        m_lines.append({line, m_font, m_rightToLeft});
}

void DefaultPrinter::endDoc()
{
    QPainter painter;
    if (!painter.begin(&m_printer))
        throw printerError(QStringLiteral("The printer could not start the document"));
    qreal y = 0;
    for (const Line& line : std::as_const(m_lines))
        draw(painter, line, y);
    m_lines.clear();
    if (!painter.end() || m_printer.printerState() == QPrinter::Error)
        throw printerError(QStringLiteral("The printer did not accept the document"));
}

void DefaultPrinter::draw(QPainter& painter, const Line& line, qreal& y)
{
    const QFont font(line.font, &m_printer);
    const qreal height = QFontMetricsF(font, &m_printer).lineSpacing();
    const QRectF page = m_printer.pageLayout().paintRectPixels(m_printer.resolution());
    if (y > 0 && y + height > page.height()) {
        if (!m_printer.newPage())
            throw printerError(QStringLiteral("The printer could not start a new page"));
        y = 0;
    }
    painter.setFont(font);
    painter.setLayoutDirection(line.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    const QRectF row(0, y, page.width(), height);
    if (needsCells(line.text, font, QFontMetricsF(font, &m_printer)))
        drawInCells(painter, line, row);
    else
        painter.drawText(row, sideOf(line.rightToLeft), line.text);
    y += height;
}

// Each character without a width gets a cell of its own, its ink in the middle; the runs between
// them start at the cell they would start at. So the columns stay under their headings, as on a
// typewriter.
void DefaultPrinter::drawInCells(QPainter& painter, const Line& line, const QRectF& row) const
{
    const QFontMetricsF metrics(painter.font(), &m_printer);
    const qreal cell = metrics.horizontalAdvance(QLatin1Char('0'));
    const auto cellLeft = [&](int cellsBefore, int cells) {
        return line.rightToLeft ? row.right() - (cellsBefore + cells) * cell
                                : row.left() + cellsBefore * cell;
    };
    int cellsBefore = 0;
    for (qsizetype start = 0; start < line.text.size();) {
        const QChar first = line.text[start];
        if (lacksItsCell(first, metrics)) {
            const QRectF ink = metrics.boundingRect(first);
            painter.drawText(
                QPointF(cellLeft(cellsBefore, 1) + (cell - ink.width()) / 2 - ink.left(),
                        row.top() + metrics.ascent()),
                QString(first));
            ++cellsBefore, ++start;
            continue;
        }
        qsizetype end = start + 1;
        while (end < line.text.size() && !lacksItsCell(line.text[end], metrics))
            ++end;
        const QString piece = line.text.mid(start, end - start);
        const int cells = cellsOf(piece);
        painter.drawText(
            QRectF(cellLeft(cellsBefore, cells), row.top(), cells * cell, row.height()),
            sideOf(line.rightToLeft), piece);
        cellsBefore += cells;
        start = end;
    }
}
