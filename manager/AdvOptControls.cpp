#include "manager/AdvOptControls.h"

#include "calendar/HebrewMissingDays.h"
#include "manager/AdvOptUnits.h"
#include "manager/DatePickers.h"
#include "manager/OccurrencePreview.h"
#include "platform/ui/DialogKeys.h"
#include "platform/ui/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <tuple>

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    return named(new QLabel(text, parent), name);
}

QComboBox* combo(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* box = named(new QComboBox(parent), name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

// The week and month rows share one place; a hidden control keeps its room
// so the window does not jump while the unit changes.
void keepRoomWhenHidden(QWidget* w)
{
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    for (QWidget* w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return layout;
}

QWidget* buildUnitRow(AdvOptControls& c, QWidget* parent)
{
    c.OptFrame = named(new QFrame(parent), QStringLiteral("OptFrame"));
    c.OptFrame->setFrameShape(QFrame::StyledPanel);
    c.OptPeriod[0] = named(new QRadioButton(QStringLiteral("מרווחים קבועים"), c.OptFrame),
                           QStringLiteral("OptPeriod_0"));
    c.OptPeriod[1] =
        named(new QRadioButton(QStringLiteral("מתקדם"), c.OptFrame), QStringLiteral("OptPeriod_1"));
    c.OptFrame->setLayout(row({c.OptPeriod[0], c.OptPeriod[1]}));
    return c.OptFrame;
}

QWidget* buildRuleRows(AdvOptControls& c, QWidget* parent)
{
    auto* area = named(new QWidget(parent), QStringLiteral("RuleArea"));
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    c.LblAdvWeek = label(QStringLiteral("LblAdvWeek"), QStringLiteral("ימים בשבוע"), area);
    auto* week = row({c.LblAdvWeek});
    const QStringList days = {"ראשון", "שני", "שלישי", "רביעי", "חמישי", "שישי", "שבת"};
    for (int i = 0; i < 7; ++i) {
        c.WeekDay[i] = named(new QCheckBox(days[i], area), QStringLiteral("WeekDay_%1").arg(i));
        week->insertWidget(i + 1, c.WeekDay[i]);
        keepRoomWhenHidden(c.WeekDay[i]);
    }
    keepRoomWhenHidden(c.LblAdvWeek);

    c.LblAdvMonth = label(QStringLiteral("LblAdvMonth"), QStringLiteral("יום בחודש"), area);
    c.MonthCombo2 =
        combo(QStringLiteral("MonthCombo2"), {"ראשון", "שני", "שלישי", "רביעי", "אחרון"}, area);
    c.MonthCombo1 = combo(QStringLiteral("MonthCombo1"),
                          {"יום", "יום ראשון", "יום שני", "יום שלישי", "יום רביעי", "יום חמישי",
                           "יום שישי", "יום שבת", "יום חול", "יום סוף שבוע"},
                          area);
    for (QWidget* w : {static_cast<QWidget*>(c.LblAdvMonth), static_cast<QWidget*>(c.MonthCombo2),
                       static_cast<QWidget*>(c.MonthCombo1)})
        keepRoomWhenHidden(w);

    grid->addLayout(week, 0, 0);
    grid->addLayout(row({c.LblAdvMonth, c.MonthCombo2, c.MonthCombo1}), 0, 0);
    return area;
}

QGridLayout* buildDateRows(AdvOptControls& c, QWidget* parent)
{
    auto* grid = new QGridLayout;
    c.Label1[1] = label(QStringLiteral("Label1_1"), QStringLiteral("החל מ-"), parent);
    std::tie(c.CDateStart1, c.CDateStart2) =
        NewDatePickers(parent, QStringLiteral("CDateStart1"), QStringLiteral("CDateStart2"));
    c.Label1[2] = label(QStringLiteral("Label1_2"), QStringLiteral("סיום עד"), parent);
    std::tie(c.CDateEnd1, c.CDateEnd2) =
        NewDatePickers(parent, QStringLiteral("CDateEnd1"), QStringLiteral("CDateEnd2"));
    c.NoEnd = named(new QCheckBox(QStringLiteral("ללא סיום"), parent), QStringLiteral("NoEnd"));
    grid->addWidget(c.Label1[1], 0, 0);
    grid->addWidget(c.CDateStart1, 0, 1);
    grid->addWidget(c.CDateStart2, 0, 2);
    grid->addWidget(c.Label1[2], 1, 0);
    grid->addWidget(c.CDateEnd1, 1, 1);
    grid->addWidget(c.CDateEnd2, 1, 2);
    grid->addWidget(c.NoEnd, 1, 3);
    c.SkipDaysOff = named(new QCheckBox(QStringLiteral("דלג על ימי חג"), parent),
                          QStringLiteral("SkipDaysOff"));
    c.SkipDaysOff->setToolTip(QStringLiteral("מופע שחל באחד מימי החג של ישראל עובר למופע הבא"));
    grid->addWidget(c.SkipDaysOff, 2, 1, 1, 3);
    grid->setColumnStretch(4, 1);
    return grid;
}

} // namespace

AdvOptControls BuildAdvOptControls(QDialog* window)
{
    AdvOptControls c;
    window->setLayoutDirection(Qt::RightToLeft);

    c.LabelType = label(QStringLiteral("LabelType"), QStringLiteral("הגדרות לפי"), window);
    c.AdvEventType = combo(QStringLiteral("AdvEventType"), AdvOptUnitNames(), window);
    c.AdvEventType->setToolTip(hebrewMissingDaysText());
    QWidget* unitRow = buildUnitRow(c, window);

    c.Label1[0] = label(QStringLiteral("Label1_0"), QStringLiteral("כל"), window);
    c.TxtNPeriod = named(new QLineEdit(QStringLiteral("1"), window), QStringLiteral("TxtNPeriod"));
    c.TxtNPeriod->setAlignment(Qt::AlignCenter);
    c.TxtNPeriod->setMaximumWidth(c.TxtNPeriod->fontMetrics().horizontalAdvance(u'0') * 8);
    c.LblPeriod = label(QStringLiteral("LblPeriod"), QString(), window); // by the unit and count

    QWidget* ruleRows = buildRuleRows(c, window);
    c.LblOccurrences = NewOccurrencesLabel(window);

    auto* line = named(new QFrame(window), QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    QGridLayout* dateRows = buildDateRows(c, window);

    std::tie(c.cmdSave, c.cmdCancel) = NewDialogButtons(window);
    // Enter is no confirmation here: only F9 and the button itself save.
    c.cmdSave->setAutoDefault(false);
    c.cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(c.cmdSave);
    buttons->addWidget(c.cmdCancel);

    auto* layout = new QVBoxLayout(window);
    layout->addLayout(row({c.LabelType, c.AdvEventType}));
    layout->addWidget(unitRow);
    layout->addLayout(row({c.Label1[0], c.TxtNPeriod, c.LblPeriod}));
    layout->addWidget(ruleRows);
    layout->addWidget(c.LblOccurrences);
    layout->addWidget(line);
    layout->addLayout(dateRows);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return c;
}
