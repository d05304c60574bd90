#include "manager/ListHeaders.h"

#include "manager/ListGrid.h"
#include "platform/ui/Named.h"
#include "store/ReminderRecord.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

namespace {

struct HeaderDef
{
    const char* caption;
    ReminderField field;
};

// ListLabel_0..7: caption and the field it sorts by.
const HeaderDef kHeaders[] = {
    {"הכותרת", ReminderField::RCaption},    {"תאריך יעד", ReminderField::RDate},
    {"חשיבות", ReminderField::RImportance}, {"סוג מופע", ReminderField::REventType},
    {"פרטים", ReminderField::RDetail},      {"פעיל", ReminderField::RActive},
    {"תאריך רישום", ReminderField::RDate0}, {"מחבר", ReminderField::RAuthor},
};

} // namespace

HeaderLabel::HeaderLabel(int index, const QString& caption, QWidget* parent)
    : QLabel(caption, parent), m_index(index)
{}

void HeaderLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_index);
}

ListHeaders::ListHeaders(QAbstractItemView* list, const QFont& listFont, QWidget* parent)
    : QWidget(parent), m_list(list), m_charWidth(ListGrid(listFont).charWidth())
{
    setObjectName(QStringLiteral("ListHeaders"));
    for (int i = 0; i < int(std::size(kHeaders)); ++i) {
        auto* label = named(new HeaderLabel(i, QString::fromUtf8(kHeaders[i].caption), this),
                            QStringLiteral("ListLabel_%1").arg(i));
        // The field the header sorts by, read by RMain::ListLabel_Click.
        label->setProperty("tag", fieldName(kHeaders[i].field));
        label->setToolTip(QStringLiteral("לחץ כאן למיון לפי שדה"));
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, QColor(255, 255, 192));
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        m_labels.append(label);
    }
    setFixedHeight(m_labels.first()->sizeHint().height() + 4);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    setColumns(listColumnSpans(true));
}

int ListHeaders::headerFor(ListColumn column)
{
    switch (column) {
    case ListColumn::DueDate:
        return 1;
    case ListColumn::Registered:
        return 6;
    case ListColumn::Caption:
        return 0;
    case ListColumn::Importance:
        return 2;
    case ListColumn::EventType:
        return 3;
    case ListColumn::Author:
        return 7;
    case ListColumn::Details:
        return 4;
    case ListColumn::Active:
        return 5;
    }
    return 0;
}

void ListHeaders::setColumns(const QVector<ListColumnSpan>& spans)
{
    m_spans = spans;
    placeLabels();
}

bool ListHeaders::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        placeLabels();
    return QWidget::eventFilter(watched, event);
}

void ListHeaders::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeLabels();
}

// Each header covers its column and the separator after it; the last one
// reaches to the viewport's left edge.
void ListHeaders::placeLabels()
{
    QWidget* viewport = m_list->viewport();
    const QPoint topRight = viewport->mapTo(window(), QPoint(viewport->width(), 0));
    const qreal right = mapFrom(window(), topRight).x();
    const qreal viewportLeft = mapFrom(window(), viewport->mapTo(window(), QPoint(0, 0))).x();
    for (HeaderLabel* label : m_labels)
        label->hide();
    for (qsizetype i = 0; i < m_spans.size(); ++i) {
        const ListColumnSpan& span = m_spans[i];
        const bool last = i == m_spans.size() - 1;
        const qreal columnRight = right - ListGrid::kMargin - span.start * m_charWidth;
        const qreal left = last ? qMin(viewportLeft, columnRight - label(5)->sizeHint().width())
                                : columnRight - (span.width + 1) * m_charWidth;
        HeaderLabel* header = label(headerFor(span.column));
        const int x = int(std::lround(left));
        header->setGeometry(x, 0, int(std::lround(columnRight)) - x - 1, height());
        header->show();
    }
}
