#include "manager/DatePickers.h"

#include "calendar/HebrewDateText.h"
#include "platform/ui/Named.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextCharFormat>
#include <QTimeEdit>

namespace {

// Dates and times read left to right also in a right-to-left window (the
// picker would otherwise show its sections in reverse order). The direction
// must be set before the format, which the picker parses at once.
template <typename Picker> Picker* leftToRight(Picker* picker, const QString& format)
{
    picker->setLayoutDirection(Qt::LeftToRight);
    picker->setDisplayFormat(format);
    return picker;
}

// The time of the digits typed so far: "21" 21:00, "930" 09:30, "2130" 21:30.
QTime typedTime(const QString& digits)
{
    if (digits.size() <= 2)
        return QTime(digits.toInt(), 0);
    const qsizetype hourDigits = digits.size() - 2;
    return QTime(digits.left(hourDigits).toInt(), digits.mid(hourDigits).toInt());
}

// Whether more digits can make a time of these ("93" can: 09:30).
bool canComplete(const QString& digits)
{
    for (const QString& more : {QString(), QStringLiteral("0"), QStringLiteral("00")})
        if (digits.size() + more.size() <= 4 && typedTime(digits + more).isValid())
            return true;
    return false;
}

// A whole time typed over the selected field, with or without the colon
// ("2130", "21:30", "930", or the hour alone, "21"), shows as it is typed.
// A click selects the part under the pointer, so typed digits replace it, as
// they do after Tab; the arrows step it.
class TimePicker : public QTimeEdit
{
public:
    using QTimeEdit::QTimeEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString text = event->text();
        const bool wholeSelected = lineEdit()->selectedText() == lineEdit()->text();
        const bool digit = text.size() == 1 && text.at(0).isDigit();
        if ((digit || text == QStringLiteral(":")) && (wholeSelected || !m_typed.isNull())) {
            if (digit && m_typed.size() < 4 && canComplete(m_typed + text)) {
                m_typed += text;
                if (typedTime(m_typed).isValid())
                    setTime(typedTime(m_typed));
            }
            if (m_typed.isNull())
                m_typed = QStringLiteral(""); // a colon first: typing has begun
            return;
        }
        m_typed = QString();
        QTimeEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        m_typed = QString();
        QTimeEdit::focusOutEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_typed = QString();
        QTimeEdit::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && currentSection() != NoSection)
            setSelectedSection(currentSection());
    }

private:
    QString m_typed; // the digits typed over the whole field; null when not typing so
};

// Alt+Down and F4 open the calendar pop-up, as they open a combo box's list. The picker opens
// it on a press of its arrow only, so the press is made there.
class DatePicker : public QDateEdit
{
public:
    using QDateEdit::QDateEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool altDown = event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier;
        const bool f4 = event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier;
        if (!calendarPopup() || !(altDown || f4))
            return QDateEdit::keyPressEvent(event);
        QStyleOptionComboBox option; // as the picker tells its arrow
        option.initFrom(this);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QPoint arrow =
            style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this)
                .center();
        QMouseEvent press(QEvent::MouseButtonPress, arrow, mapToGlobal(arrow), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        mousePressEvent(&press);
    }
};

// Each day of the page shown (the month and the days of the months around it) tells its
// Hebrew date when pointed at.
void showHebrewDates(QCalendarWidget* calendar, int year, int month)
{
    const QDate first(year, month, 1);
    for (QDate day = first.addDays(-7); day < first.addMonths(1).addDays(14);
         day = day.addDays(1)) {
        QTextCharFormat format = calendar->dateTextFormat(day);
        format.setToolTip(hebrewDateBeside(day));
        calendar->setDateTextFormat(day, format);
    }
}

// The calendar pop-up of a date picker opens under the field's right edge,
// where a right-to-left window's fields begin, and stays on the screen.
class RightAlignedPopup : public QObject
{
public:
    RightAlignedPopup(QDateEdit* picker) : QObject(picker), m_picker(picker) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* popup = qobject_cast<QWidget*>(watched)) {
                place(popup);
                QCalendarWidget* calendar = m_picker->calendarWidget();
                // When shown: not at every window's load and date set.
                showHebrewDates(calendar, calendar->yearShown(), calendar->monthShown());
            }
        return false;
    }

private:
    void place(QWidget* popup) const
    {
        const QPoint bottomRight = m_picker->mapToGlobal(m_picker->rect().bottomRight());
        QPoint topLeft(bottomRight.x() + 1 - popup->width(), bottomRight.y() + 1);
        if (const QScreen* screen = m_picker->screen()) {
            const QRect area = screen->availableGeometry();
            topLeft.setX(qBound(area.left(), topLeft.x(), area.right() + 1 - popup->width()));
            if (topLeft.y() + popup->height() > area.bottom() + 1) // above the field instead
                topLeft.setY(m_picker->mapToGlobal(QPoint(0, 0)).y() - popup->height());
        }
        popup->move(topLeft);
    }

    QDateEdit* m_picker;
};

// The calendar reads from the right, the week starting on Sunday, in the
// program's locale (Hebrew month and day names).
void setUpCalendar(QDateEdit* picker)
{
    picker->setCalendarPopup(true);
    QCalendarWidget* calendar = picker->calendarWidget();
    calendar->setLayoutDirection(Qt::RightToLeft);
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->window()->installEventFilter(new RightAlignedPopup(picker));
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, calendar,
                     [calendar](int year, int month) {
                         if (calendar->window()->isVisible())
                             showHebrewDates(calendar, year, month);
                     });
}

} // namespace

std::pair<QDateEdit*, QTimeEdit*> NewDatePickers(QWidget* parent, const QString& dateName,
                                                 const QString& timeName)
{
    auto* date = leftToRight(named(new DatePicker(parent), dateName), QStringLiteral("dd/MM/yyyy"));
    date->setDateRange(Date::firstDay(), Date::lastDay());
    setUpCalendar(date);
    auto* time = leftToRight(named(new TimePicker(parent), timeName), QStringLiteral("HH:mm"));
    return {date, time};
}

Date pickedDate(const QDateEdit* datePicker, const QTimeEdit* timePicker)
{
    return Date::fromParts(datePicker->date(), timePicker->time());
}

void showDate(const Date& d, QDateEdit* datePicker, QTimeEdit* timePicker)
{
    datePicker->setDate(d.date());
    timePicker->setTime(d.time());
}
