#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPrinter>
#include <QString>

class QPainter;

// The default printer (CUPS), used as the system's printouts use a printer:
// a document of text lines in the current font, each under the previous one,
// a new page when the page is full. No dialog is shown. The lines are kept
// until endDoc() hands the whole document over, so a printout that fails
// half-way prints nothing.
class DefaultPrinter
{
public:
    static constexpr int kNoDefaultPrinter = 484;

    DefaultPrinter(); // throws Failure (kNoDefaultPrinter) when there is no default printer

    void setFontName(const QString& name) { m_font.setFamily(name); }
    void setFontSize(int points) { m_font.setPointSize(points); }
    void setBold(bool on) { m_font.setBold(on); }
    void setUnderline(bool on) { m_font.setUnderline(on); }
    // Lines start at the right margin and read right to left.
    void setRightToLeft(bool on) { m_rightToLeft = on; }

    // The text and a line end; line breaks inside the text (CR LF, CR or LF)
    // start new lines. A line wider than the page is not wrapped.
    void print(const QString& text);
    // Prints the document; throws Failure when the printer refuses it.
    void endDoc();

private:
    struct Line
    {
        QString text;
        QFont font;
        bool rightToLeft;
    };
    void draw(QPainter& painter, const Line& line, qreal& y);
    bool lacksItsCell(QChar c, const QFont& font, const QFontMetricsF& metrics);
    void drawInCells(QPainter& painter, const Line& line, const QRectF& row, const QFont& font,
                     const QFontMetricsF& metrics);

    QPrinter m_printer;
    QFont m_font;
    bool m_rightToLeft = false;
    QList<Line> m_lines;
    // By font key: the characters known to take no width after shaping (true) or to take it.
    QHash<QString, QHash<QChar, bool>> m_widthless;
};
