#pragma once

#include "scheduling/Occurrences.h"

#include <QObject>

#include <functional>

class QLabel;

// Keeps the label under a recurrence rule (LblOccurrences) listing the next
// occurrences the rule gives from its start, as dismissing each alert would
// take them, or saying why the recurrence refuses the rule.
class OccurrencePreview : public QObject
{
    Q_OBJECT
public:
    // The rule and start as the window's controls give them now; throws when
    // they give no usable rule.
    struct Input
    {
        RecurrenceRule rule;
        Date start;
    };
    using Reader = std::function<Input()>;

    OccurrencePreview(QLabel* label, Reader read);

    // Shows the occurrences for what the controls give now.
    void refresh();
    // Refreshes whenever an input control inside area changes.
    void follow(QWidget* area);

private:
    QLabel* m_label;
    Reader m_read;
};

// How many occurrences the preview lists.
constexpr int PreviewedOccurrences = 5;

// A label for the preview, word-wrapped plain text.
QLabel* NewOccurrencesLabel(QWidget* parent);

// The text of the preview for a rule and start ("המופעים הבאים: ...").
QString OccurrencesText(const RecurrenceRule& rule, const Date& start);
// The text for a rule that could not be read or was refused.
QString RefusedRuleText(const std::exception& e);
