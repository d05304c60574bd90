#include "manager/OccurrencePreview.h"

#include "calendar/HebrewDateText.h"
#include "manager/AdvOptUnits.h"
#include "manager/ManagerState.h"
#include "platform/ui/Named.h"
#include "scheduling/ReminderRules.h"
#include "store/Reminder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

OccurrencePreview::OccurrencePreview(QLabel* label, Reader read)
    : QObject(label), m_label(label), m_read(std::move(read))
{}

void OccurrencePreview::refresh()
{
    try {
        const Input input = m_read();
        m_label->setText(OccurrencesText(input.rule, input.start));
    } catch (const std::exception& e) {
        m_label->setText(RefusedRuleText(e));
    }
}

void OccurrencePreview::follow(QWidget* area)
{
    const auto changed = [this] { refresh(); };
    for (auto* box : area->findChildren<QComboBox*>())
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    for (auto* button : area->findChildren<QAbstractButton*>())
        connect(button, &QAbstractButton::toggled, this, changed);
    for (auto* edit : area->findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (auto* picker : area->findChildren<QDateTimeEdit*>())
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, changed);
}

QLabel* NewOccurrencesLabel(QWidget* parent)
{
    auto* label = named(new QLabel(parent), QStringLiteral("LblOccurrences"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString OccurrencesText(const RecurrenceRule& rule, const Date& start)
{
    const Occurrences occurrences = NextOccurrences(rule, start, PreviewedOccurrences);
    QStringList dates;
    // A Hebrew series shows each date in both calendars.
    for (const Date& d : occurrences.dates)
        dates << (isHebrewEventType(rule.eventType)
                      ? QStringLiteral("%1 (%2)").arg(formatDateTime(d), hebrewDateBeside(d.date()))
                      : formatDateTime(d));
    QString text = QStringLiteral("המופעים הבאים: ") + dates.join(QStringLiteral(", "));
    if (rule.eventType == EventAdvanced || isHebrewEventType(rule.eventType))
        text.prepend(everyPeriodText(AdvOptUnitIndex(rule.eventType, rule.unit), rule.n) +
                     QLatin1Char('\n'));
    if (occurrences.ended)
        text += QStringLiteral("\nאין מופעים נוספים");
    return text;
}

QString RefusedRuleText(const std::exception& e)
{
    const auto* refused = dynamic_cast<const RuleRefused*>(&e);
    return QStringLiteral("לא ניתן לחשב מופעים: ") +
           (refused ? RuleRefusalReason(refused->value()) : QStringLiteral("ערך לא חוקי"));
}
