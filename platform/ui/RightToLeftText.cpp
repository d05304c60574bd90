#include "platform/ui/RightToLeftText.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>

namespace RightToLeftText {
namespace {

// Only Qt's default (the leading edge) is replaced: in a line that reads left
// to right the leading edge is the left one.
bool isLeading(Qt::Alignment alignment)
{
    return (alignment & Qt::AlignHorizontal_Mask) == Qt::AlignLeading;
}

Qt::Alignment atTheRight(Qt::Alignment alignment)
{
    return (alignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight | Qt::AlignAbsolute;
}

void alignDocument(QTextDocument* document)
{
    QTextOption option = document->defaultTextOption();
    if (!isLeading(option.alignment()))
        return;
    option.setAlignment(atTheRight(option.alignment()));
    document->setDefaultTextOption(option);
}

template <typename Box> void alignBox(Box* box)
{
    if (isLeading(box->alignment()))
        box->setAlignment(atTheRight(box->alignment()));
}

void apply(QWidget* widget)
{
    if (widget->layoutDirection() != Qt::RightToLeft)
        return;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        alignDocument(plain->document());
    else if (auto* rich = qobject_cast<QTextEdit*>(widget))
        alignDocument(rich->document());
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        alignBox(spin);
    else if (auto* line = qobject_cast<QLineEdit*>(widget);
             line && !qobject_cast<QAbstractSpinBox*>(line->parent()))
        alignBox(line); // a spin box's own line follows the spin box
}

class Filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Polish || type == QEvent::LayoutDirectionChange) &&
            watched->isWidgetType())
            apply(static_cast<QWidget*>(watched));
        return false;
    }
};

constexpr QChar kRightToLeftMark(0x200F);

// Whether the line's first letter with a direction of its own reads left to right.
bool startsLeftToRight(QStringView line)
{
    for (const QChar c : line) {
        switch (c.direction()) {
        case QChar::DirL:
            return true;
        case QChar::DirR:
        case QChar::DirAL:
            return false;
        default:
            break;
        }
    }
    return false;
}

} // namespace

QString fromTheRight(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (startsLeftToRight(line))
            line.prepend(kRightToLeftMark);
    return lines.join(QLatin1Char('\n'));
}

void install()
{
    static QPointer<Filter> installed; // gone with the application that owned it
    if (!qApp || installed)
        return;
    installed = new Filter(qApp);
    qApp->installEventFilter(installed);
}

} // namespace RightToLeftText
