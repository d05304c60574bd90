#include "manager/FrmAdvOpt.h"

#include "common/Log.h"
#include "common/TextConversion.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "manager/AdvOptStep.h"
#include "manager/AdvOptUnits.h"
#include "manager/DatePickers.h"
#include "manager/ManagerState.h"
#include "manager/OccurrencePreview.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "scheduling/Occurrences.h"
#include "scheduling/Recurrence.h"
#include "store/Reminder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QTimer>

namespace {

void logLoadFailure(const QString& description)
{
    WriteLog(QStringLiteral("AdvOpt Load: ") + description, LogError);
}

// A stored index the list does not have is logged and loads as the index a
// new reminder starts with, so one bad value costs only its own control.
void loadListIndex(QComboBox* box, short index, short fallback)
{
    if (index < 0 || index >= box->count()) {
        logLoadFailure(
            QStringLiteral("Invalid property value %1 for %2").arg(index).arg(box->objectName()));
        index = fallback;
    }
    box->setCurrentIndex(index);
}

bool unitHasAdvancedRule(int unit)
{
    return unit == Date::Week || unit == Date::Month;
}

} // namespace

FrmAdvOpt::FrmAdvOpt(AdvancedOptions& options, QWidget* parent)
    : QDialog(parent), m_options(options), ui(BuildAdvOptControls(this))
{
    setObjectName(QStringLiteral("FrmAdvOpt"));
    setWindowTitle(QStringLiteral("אפשרויות מופע חוזר"));
    setWindowModality(Qt::WindowModal); // the alerts stay usable

    connect(ui.AdvEventType, &QComboBox::currentIndexChanged, this,
            [this] { AdvEventType_Click(); });
    for (QRadioButton* option : ui.OptPeriod)
        connect(option, &QRadioButton::toggled, this, [this] { SetVisible(); });
    connect(ui.NoEnd, &QCheckBox::toggled, this, [this] { NoEnd_Click(); });
    connect(ui.TxtNPeriod, &QLineEdit::textChanged, this, [this] { showUnitWord(); });
    connect(ui.cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(ui.cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    // The window sees keys before its controls (F9/F12), and the focus
    // leaving TxtNPeriod.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    Form_Load();

    auto* preview = new OccurrencePreview(ui.LblOccurrences, [this] {
        const AdvancedOptions rule = readControls(m_options);
        return OccurrencePreview::Input{recurrenceRule(rule.eventType, rule), rule.StartDate};
    });
    preview->follow(this);
    preview->refresh();
}

// Every control is loaded on its own; a stored value out of its control's
// range loads as a new reminder's value (a null end as the start), so the
// controls never show values nobody chose.
void FrmAdvOpt::Form_Load()
{
    trapped(QStringLiteral("AdvOpt Load"), [this] {
        const AdvancedOptions& stored = m_options;
        const AdvancedOptions fresh;
        {
            const QSignalBlocker quiet(ui.AdvEventType);
            loadListIndex(ui.AdvEventType,
                          short(AdvOptUnitIndex(stored.eventType, stored.Adv_Period)),
                          fresh.Adv_Period);
        }
        AdvEventType_Click();
        ui.TxtNPeriod->setText(QString::number(stored.Adv_PeriodN));
        // A rule can only be advanced for weeks and months; anything else
        // would give no occurrence at all.
        const bool advanced =
            stored.Adv_AdvOpt && unitHasAdvancedRule(ui.AdvEventType->currentIndex());
        ui.OptPeriod[advanced ? 1 : 0]->setChecked(true);
        showDate(stored.StartDate, ui.CDateStart1, ui.CDateStart2);
        loadListIndex(ui.MonthCombo1, stored.Adv_MonthDay, fresh.Adv_MonthDay);
        loadListIndex(ui.MonthCombo2, stored.Adv_MonthCount, fresh.Adv_MonthCount);
        showDate(stored.Adv_DateEnd.value_or(stored.StartDate), ui.CDateEnd1, ui.CDateEnd2);
        ui.NoEnd->setChecked(runsWithoutEnd(stored)); // as the recurrence reads it
        NoEnd_Click();
        // A mask below 0 has no day chosen, as the recurrence reads it.
        short mask = qMax<short>(stored.Adv_WeekDay, 0);
        if (mask > 127) {
            logLoadFailure(QStringLiteral("Invalid property value %1 for WeekDay").arg(mask));
            mask = fresh.Adv_WeekDay;
        }
        for (int i = 0; i < 7; ++i)
            ui.WeekDay[i]->setChecked((mask & (1 << i)) != 0);
        ui.SkipDaysOff->setChecked(stored.Adv_SkipDaysOff);
    });
}

void FrmAdvOpt::AdvEventType_Click()
{
    const int unit = ui.AdvEventType->currentIndex();
    showUnitWord();
    if (unitHasAdvancedRule(unit)) {
        ui.OptPeriod[1]->setEnabled(true);
    } else {
        ui.OptPeriod[0]->setChecked(true);
        ui.OptPeriod[1]->setEnabled(false);
    }
    SetVisible();
}

// "כל [1] דקה", "כל [5] דקות": the unit agrees with the count typed.
void FrmAdvOpt::showUnitWord()
{
    bool typed = false;
    const int count = ui.TxtNPeriod->text().trimmed().toInt(&typed);
    if (ui.AdvEventType->currentIndex() >= 0)
        ui.LblPeriod->setText(AdvOptUnitWord(ui.AdvEventType->currentIndex(), typed ? count : 0));
}

void FrmAdvOpt::SetVisible()
{
    const bool advanced = ui.OptPeriod[1]->isChecked();
    const int unit = ui.AdvEventType->currentIndex();
    const bool weekMode = advanced && unit == Date::Week;
    const bool monthMode = advanced && unit == Date::Month;
    for (QCheckBox* day : ui.WeekDay)
        day->setVisible(weekMode);
    ui.LblAdvWeek->setVisible(weekMode);
    ui.LblAdvMonth->setVisible(monthMode);
    ui.MonthCombo1->setVisible(monthMode);
    ui.MonthCombo2->setVisible(monthMode);
    AdvancedRule rule;
    std::tie(rule.Adv_Period, rule.Adv_AdvOpt) = std::tuple(short(unit), advanced);
    ui.SkipDaysOff->setEnabled(canSkipDaysOff(AdvOptEventType(unit), rule));
}

void FrmAdvOpt::NoEnd_Click()
{
    const bool hasEnd = !ui.NoEnd->isChecked();
    ui.CDateEnd1->setEnabled(hasEnd);
    ui.CDateEnd2->setEnabled(hasEnd);
}

// Leaving TxtNPeriod with a step the recurrence cannot advance by (not a
// number, below 1, too large) is refused: the focus comes back to it. Moving
// to another window or to cmdCancel needs no valid step. The refusal is
// shown once the focus change is over, and the click that caused it is dropped.
void FrmAdvOpt::TxtNPeriod_Validate(const QFocusEvent* leaving)
{
    if (leaving->reason() == Qt::ActiveWindowFocusReason ||
        leaving->reason() == Qt::PopupFocusReason)
        return;
    const QWidget* next = QApplication::focusWidget();
    if (!next || next->window() != this || next == ui.cmdCancel)
        return;
    if (m_stepRefused || IsUsableStepText(ui.TxtNPeriod->text()))
        return;
    m_stepRefused = true;
    QTimer::singleShot(0, this, [this] {
        refuseStep();
        m_stepRefused = false;
    });
}

void FrmAdvOpt::refuseStep()
{
    Prompt::message(this, QStringLiteral("ערך לא חוקי"), appTitle(), Prompt::Buttons::Ok,
                    Prompt::Icon::Exclamation);
    ui.TxtNPeriod->setFocus();
    ui.TxtNPeriod->selectAll();
}

bool FrmAdvOpt::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (handleKey(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::FocusOut:
        if (watched == ui.TxtNPeriod)
            TxtNPeriod_Validate(static_cast<QFocusEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (m_stepRefused)
            return true;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAdvOpt::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

bool FrmAdvOpt::handleKey(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F9) {
        cmdSave_Click();
        return true;
    }
    if (event->key() == Qt::Key_F12) {
        cmdCancel_Click();
        return true;
    }
    return false;
}

void FrmAdvOpt::cmdCancel_Click()
{
    reject();
}

// Everything is read into a copy first and the caller's rule is replaced
// only when the whole rule is good: a failed save leaves the window open and
// the caller's rule as it was.
void FrmAdvOpt::cmdSave_Click()
{
    trapped(QStringLiteral("Save AdvOpt"), [this] {
        const AdvancedOptions next = readControls(m_options);
        if (next.Adv_PeriodN < MinStepCount) {
            refuseStep();
            return;
        }
        m_options = next;
        accept();
    });
}

AdvancedOptions FrmAdvOpt::readControls(const AdvancedOptions& from) const
{
    AdvancedOptions r = from;
    const int unit = ui.AdvEventType->currentIndex();
    r.eventType = AdvOptEventType(unit);
    r.Adv_Period = static_cast<short>(unit);
    if (r.eventType == EventHebrewMonthly)
        r.Adv_Period = Date::Month;
    if (r.eventType == EventHebrewYearly)
        r.Adv_Period = Date::Year;
    r.Adv_PeriodN = textToShort(ui.TxtNPeriod->text());
    r.Adv_AdvOpt = ui.OptPeriod[1]->isChecked();
    r.StartDate = pickedDate(ui.CDateStart1, ui.CDateStart2);
    r.Adv_MonthDay = static_cast<short>(ui.MonthCombo1->currentIndex());
    r.Adv_MonthCount = static_cast<short>(ui.MonthCombo2->currentIndex());
    r.Adv_DateEnd = pickedDate(ui.CDateEnd1, ui.CDateEnd2);
    r.Adv_NoEnd = ui.NoEnd->isChecked();
    r.Adv_WeekDay = 0;
    for (int i = 0; i < 7; ++i)
        if (ui.WeekDay[i]->isChecked())
            r.Adv_WeekDay = static_cast<short>(r.Adv_WeekDay | (1 << i));
    r.Adv_SkipDaysOff = ui.SkipDaysOff->isEnabled() && ui.SkipDaysOff->isChecked();
    // A week rule with no day ticked runs as fixed weeks, whose first
    // occurrence is the start itself.
    const bool noDays = r.Adv_Period == Date::Week && r.Adv_WeekDay == 0;
    if (r.Adv_AdvOpt && !noDays)
        r.StartDate = NextAdvanced(r.StartDate.addDays(-1), r.Adv_Period, 1, true, r.Adv_WeekDay,
                                   r.Adv_MonthDay, r.Adv_MonthCount);
    return r;
}

#include "moc_FrmAdvOpt.cpp"
