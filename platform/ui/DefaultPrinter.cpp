#include "DefaultPrinter.h"

#include "Failure.h"

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
    const int side = line.rightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(QRectF(0, y, page.width(), height), Qt::AlignAbsolute | side | Qt::AlignTop,
                     line.text);
    y += height;
}
