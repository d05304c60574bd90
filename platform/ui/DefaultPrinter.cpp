#include "platform/ui/DefaultPrinter.h"

#include "platform/Failure.h"

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

// A fixed-pitch font can give a character no width that takes a cell on paper: in Liberation Mono,
// the stand-in for "Courier New", U+05C3, the list's column separator, comes out of shaping
// without width. Marks (vowel points) take none anyway. Shaping one character costs a few
// microseconds, so each is asked once per font.
bool DefaultPrinter::lacksItsCell(QChar c, const QFont& font, const QFontMetricsF& metrics)
{
    QHash<QChar, bool>& known = m_widthless[font.key()];
    auto it = known.constFind(c);
    if (it == known.cend())
        it = known.insert(c, !c.isMark() && metrics.horizontalAdvance(QString(c)) == 0);
    return *it;
}

void DefaultPrinter::draw(QPainter& painter, const Line& line, qreal& y)
{
    const QFont font(line.font, &m_printer);
    const QFontMetricsF metrics(font, &m_printer);
    const qreal height = metrics.lineSpacing();
    const QRectF page = m_printer.pageLayout().paintRectPixels(m_printer.resolution());
    if (y > 0 && y + height > page.height()) {
        if (!m_printer.newPage())
            throw printerError(QStringLiteral("The printer could not start a new page"));
        y = 0;
    }
    painter.setFont(font);
    painter.setLayoutDirection(line.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    const QRectF row(0, y, page.width(), height);
    const bool needsCells = QFontInfo(font).fixedPitch() &&
                            std::any_of(line.text.cbegin(), line.text.cend(),
                                        [&](QChar c) { return lacksItsCell(c, font, metrics); });
    if (needsCells)
        drawInCells(painter, line, row, font, metrics);
    else
        painter.drawText(row, sideOf(line.rightToLeft), line.text);
    y += height;
}

// Each character without a width gets a cell of its own, its ink in the middle; the runs between
// them start at the cell they would start at. So the columns stay under their headings, as on a
// typewriter.
void DefaultPrinter::drawInCells(QPainter& painter, const Line& line, const QRectF& row,
                                 const QFont& font, const QFontMetricsF& metrics)
{
    const qreal cell = metrics.horizontalAdvance(QLatin1Char('0'));
    const auto cellLeft = [&](int cellsBefore, int cells) {
        return line.rightToLeft ? row.right() - (cellsBefore + cells) * cell
                                : row.left() + cellsBefore * cell;
    };
    int cellsBefore = 0;
    for (qsizetype start = 0; start < line.text.size();) {
        const QChar first = line.text[start];
        if (lacksItsCell(first, font, metrics)) {
            const QRectF ink = metrics.boundingRect(first);
            painter.drawText(
                QPointF(cellLeft(cellsBefore, 1) + (cell - ink.width()) / 2 - ink.left(),
                        row.top() + metrics.ascent()),
                QString(first));
            ++cellsBefore, ++start;
            continue;
        }
        qsizetype end = start + 1;
        while (end < line.text.size() && !lacksItsCell(line.text[end], font, metrics))
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
