// The editor of the manager window: its modes, loading a reminder or the
// defaults of a new one, the save, the advanced options and the keys.
#include "manager/RMain.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "manager/DatePickers.h"
#include "manager/FrmAdvOpt.h"
#include "manager/ManagerState.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "scheduling/PublishNextDate.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"
#include "store/Schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>

namespace {

// Interval unit and count stored for the fixed recurrence types; one-time
// keeps what the row holds and the advanced type takes AdvOptions.
struct FixedPeriod
{
    short eventType;
    short period;
    short periodN;
};
constexpr FixedPeriod kFixedPeriods[] = {
    {EventHourly, Date::Hour, 1},   {EventDaily, Date::Day, 1},       {EventWeekly, Date::Week, 1},
    {EventMonthly, Date::Month, 1}, {EventBiMonthly, Date::Month, 2}, {EventYearly, Date::Year, 1},
};

constexpr int kAdvancedEntry = 7; // "מתקדם", the eighth recurrence type

// The editor shows line breaks as LF; reminders store CR LF.
QString toEditorText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
QString toStoredText(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString withoutTabs(QString text)
{
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '));
}

void selectEntryByText(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text));
}

void showValidation(QWidget* owner, const QString& text, QWidget* focus)
{
    Prompt::message(owner, text, appTitle(), Prompt::Buttons::Ok, Prompt::Icon::Information);
    focus->setFocus();
}

} // namespace

void RMain::SetMode(bool theMode, const QString& StatusTXT)
{
    InEdit = theMode;
    for (QWidget* control : std::initializer_list<QWidget*>{List1, cmdDelete, cmdDeleteAll, cmdFind,
                                                            cmdRefresh, cmdDefinitions})
        control->setEnabled(!theMode);
    cmdCancel->setVisible(theMode);
    cmdNew->setText(theMode ? QStringLiteral("שמור כחדש") : QStringLiteral("חדש"));
    LStatus->setText(StatusTXT);
}

void RMain::SetEditMode(bool NewRec, bool SetActive)
{
    if (InEdit)
        return;
    if (NewRec) {
        // A new reminder is stored only through "שמור כחדש"; the save button stays hidden.
        SetMode(true, QStringLiteral(" הוספת תזכורת חדשה"));
        LoadDefault();
    } else {
        cmdSave->setVisible(true);
        SetMode(true, QStringLiteral(" עריכה"));
    }
    if (SetActive)
        OptActive[0]->setChecked(true);
}

void RMain::SetRegularMode(const QString& StatusTXT)
{
    SetMode(false, StatusTXT);
    cmdSave->setVisible(false);
    LoadCurrent();
}

Date RMain::editorDueDate() const
{
    return pickedDate(CDate1, CDate2);
}

OccurrencePreview::Input RMain::editorRule() const
{
    const short eventType =
        CEventType->currentIndex() < 0 ? short(-1) : short(CEventType->currentData().toInt());
    return {recurrenceRule(eventType, AdvOptions), editorDueDate()};
}

void RMain::setEditorDueDate(const Date& due)
{
    showDate(due, CDate1, CDate2);
}

void RMain::LoadDefault()
{
    CCaption->setText(QStringLiteral("תזכורת חדשה"));
    CDate1->setDate(Clock::now().date());
    CDate2->setTime(NowToMinute().time());
    CImportance->setCurrentIndex(0);
    CEventType->setCurrentIndex(0);
    CDetail->clear();
    OptActive[0]->setChecked(true);

    AdvOptions = AdvancedOptions{}; // a new reminder's rule
    AdvOptions.StartDate = editorDueDate();
    AdvOptions.Adv_DateEnd = AdvOptions.StartDate;
    m_occurrences->refresh();
}

// Filling the controls raises their change signals; InEdit keeps those from
// entering edit mode.
void RMain::LoadCurrent()
{
    if (!ListRs || !ListRs->hasCurrent())
        return;
    const auto load = [this] {
        InEdit = true;
        const ReminderRecord r = ReminderRecord::read(*ListRs);
        CCaption->setText(r.RCaption);
        // A reminder without a due date shows a new reminder's default.
        setEditorDueDate(r.isNull(ReminderField::RDate) ? NowToMinute() : r.RDate);
        selectEntryByText(CImportance, ImportanceName(r.RImportance));
        Loading = true;
        selectEntryByText(CEventType, EventTypeName(r.REventType));
        Loading = false;
        OptActive[r.RActive ? 0 : 1]->setChecked(true);
        CDetail->setPlainText(toEditorText(r.RDetail));
        static_cast<AdvancedRule&>(AdvOptions) = r;
        CurrentSentTo = r.SentTo;
        CurrentReminderId = r.RMain_Id;
        LANSend->setChecked(r.BroadcastId > 0 && r.IAMAuthor);
        SetSendOptions(!CurrentSentTo.isEmpty(), false);
        m_occurrences->refresh(); // the advanced rule is complete only now
        InEdit = false;
    };
    if (!trapped(QStringLiteral("LoadCurrent"), load)) {
        // A half-loaded editor is not an edit: the window stays usable.
        Loading = false;
        InEdit = false;
    }
}

void RMain::SetSendOptions(bool Specific, bool TickSend)
{
    OptSend[Specific ? 1 : 0]->setChecked(true);
    if (TickSend)
        LANSend->setChecked(true);
}

// Choosing an audience also arms the send, as a click on LANSend would.
void RMain::OptSend_Click(int /*Index*/)
{
    LANSend->setChecked(true);
    SetEditMode(false, true);
}

bool RMain::validateEditor()
{
    if (CCaption->text().isEmpty()) {
        showValidation(this, QStringLiteral("יש להזין כותרת"), CCaption);
        return false;
    }
    if (CImportance->currentIndex() < 0) {
        showValidation(this, QStringLiteral("יש להזין חשיבות"), CImportance);
        return false;
    }
    if (CEventType->currentIndex() < 0) {
        showValidation(this, QStringLiteral("יש להזיר סוג מופע"), CEventType);
        return false;
    }
    return true;
}

void RMain::MySave(bool SExisting)
{
    if (!validateEditor())
        return;
    trapped(QStringLiteral("Save"), [&] {
        qint32 savedId = 0;
        bool unsent = false; // the send was asked for and did not go out
        {
            auto db = OpenReminderDb();
            // A database the list refused is not written either.
            RequireKnownDbVersion(*db);
            const qint32 currentId = currentListId();
            Dynaset rs(*db, currentId > 0 ? Queries::byId(currentId) : Queries::all);
            // A reminder deleted meanwhile is stored again as a new one.
            if (currentId > 0 && SExisting && rs.hasCurrent())
                rs.edit();
            else
                rs.addNew();
            writeEditorFields(rs);
            rs.update();
            savedId = qint32(rs.lastModifiedId());
            if (LANSend->isChecked() && LANOptSend && sendRUpdateHook())
                unsent = !sendRUpdateHook()(rs, savedId, OptSend[1]->isChecked(), CurrentSentTo);
        }
        showStored(savedId); // current even where the filter would hide it
        SetRegularMode(unsent ? QStringLiteral(" תזכורת נשמרה אך לא נשלחה ברשת")
                              : QStringLiteral(" תזכורת נשמרה"));
        PublishNextDate();
    });
}

void RMain::writeEditorFields(Dynaset& rs)
{
    using F = ReminderField;
    const Date due = editorDueDate();
    ReminderRecord r;
    r.RCaption = withoutTabs(CCaption->text()).left(kCaptionWidth);
    r.RDate = due;
    r.RImportance = short(CImportance->currentData().toInt());
    r.REventType = short(CEventType->currentData().toInt());
    r.RDetail = withoutTabs(toStoredText(CDetail->toPlainText()));
    r.RActive = OptActive[0]->isChecked();
    r.writeAuthored(rs);
    if (FieldText(fieldValue(rs, F::RAuthor)).isEmpty()) {
        r.RAuthor = LANNick;
        r.write(rs, {F::RAuthor});
    }
    if (r.REventType == EventAdvanced) {
        static_cast<AdvancedRule&>(r) = AdvOptions;
        r.writeRule(rs);
        return;
    }
    // Other types keep the rest of a former advanced rule.
    r.Adv_AdvOpt = false;
    r.Adv_DateEnd = due;
    r.Adv_NoEnd = true;
    r.write(rs, {F::Adv_AdvOpt, F::Adv_DateEnd, F::Adv_NoEnd});
    for (const FixedPeriod& fixed : kFixedPeriods)
        if (fixed.eventType == r.REventType) {
            r.Adv_Period = fixed.period;
            r.Adv_PeriodN = fixed.periodN;
            r.write(rs, {F::Adv_Period, F::Adv_PeriodN});
        }
}

void RMain::ShowAdvOpt()
{
    AdvOptions.StartDate = editorDueDate();
    {
        FrmAdvOpt dialog(AdvOptions, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    setEditorDueDate(AdvOptions.StartDate);
    Loading = true;
    CEventType->setCurrentIndex(kAdvancedEntry);
    SetEditMode(false, true);
    Loading = false;
    m_occurrences->refresh();
}

void RMain::CEventType_Click(int index)
{
    if (Loading)
        return;
    SetEditMode(false, true);
    if (CEventType->itemData(index).toInt() == EventAdvanced)
        ShowAdvOpt();
}

void RMain::cmdNew_Click()
{
    if (InEdit)
        MySave(false); // "שמור כחדש"
    else
        SetEditMode(true, true);
}

void RMain::cmdSave_Click()
{
    MySave(true);
}

void RMain::cmdCancel_Click()
{
    SetRegularMode(QStringLiteral(" שינוי בוטל"));
}

void RMain::cmdExit_Click()
{
    close();
}

bool RMain::Form_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Escape:
        if (InEdit)
            return false;
        close();
        return true;
    case Qt::Key_F5:
        if (InEdit)
            return false;
        cmdRefresh_Click();
        return true;
    case Qt::Key_F9:
        if (cmdSave->isHidden())
            return false;
        cmdSave_Click();
        return true;
    case Qt::Key_F12:
        if (cmdCancel->isHidden())
            return false;
        cmdCancel_Click();
        return true;
    default:
        return false;
    }
}
