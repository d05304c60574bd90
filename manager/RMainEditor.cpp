// The editor of the manager window: its modes, loading a reminder or the
// defaults of a new one, the save, the advanced options and the keys.
#include "RMain.h"

#include "Clock.h"
#include "DueCheck.h"
#include "Failure.h"
#include "FrmAdvOpt.h"
#include "LanSettings.h"
#include "Log.h"
#include "ManagerState.h"
#include "Prompt.h"
#include "Queries.h"
#include "Reminder.h"
#include "Schema.h"
#include "WindowCaptions.h"

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

extern RMain::SendRUpdateHook g_sendRUpdateHook;

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
    return Date::fromParts(CDate1->date(), CDate2->time());
}

OccurrencePreview::Input RMain::editorRule() const
{
    const short eventType =
        CEventType->currentIndex() < 0 ? short(-1) : short(CEventType->currentData().toInt());
    RecurrenceRule rule = eventType == EventAdvanced ? AdvancedRule(AdvOptions) : RecurrenceRule{};
    rule.eventType = eventType;
    return {rule, editorDueDate()};
}

void RMain::setEditorDueDate(const Date& due)
{
    CDate1->setDate(due.date());
    CDate2->setTime(due.time());
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

    AdvOptions.StartDate = editorDueDate();
    AdvOptions.Adv_PeriodN = 1;
    AdvOptions.Adv_WeekDay = 0;
    AdvOptions.Adv_MonthDay = 1;
    AdvOptions.Adv_MonthCount = 0;
    AdvOptions.Adv_Period = Date::Week;
    AdvOptions.Adv_AdvOpt = true;
    AdvOptions.Adv_DateEnd = AdvOptions.StartDate;
    AdvOptions.Adv_NoEnd = true;
    m_occurrences->refresh();
}

// Filling the controls raises their change signals; InEdit keeps those from
// entering edit mode.
void RMain::LoadCurrent()
{
    if (!ListRs || !ListRs->hasCurrent())
        return;
    const Snapshot& rs = *ListRs;
    auto field = [&rs](const char* name) { return rs.value(QString::fromLatin1(name)); };
    try {
        InEdit = true;
        CCaption->setText(FieldText(field("RCaption")));
        // A reminder without a due date shows a new reminder's default.
        setEditorDueDate(optionalDateField(field("RDate")).value_or(NowToMinute()));
        selectEntryByText(CImportance, ImportanceName(short(field("RImportance").toInt())));
        Loading = true;
        selectEntryByText(CEventType, EventTypeName(short(field("REventType").toInt())));
        Loading = false;
        const bool active = field("RActive").toBool();
        OptActive[active ? 0 : 1]->setChecked(true);
        CDetail->setPlainText(toEditorText(FieldText(field("RDetail"))));

        AdvOptions.Adv_DateEnd = optionalDateField(field("Adv_DateEnd"));
        AdvOptions.Adv_Period = short(field("Adv_Period").toInt());
        AdvOptions.Adv_PeriodN = short(field("Adv_PeriodN").toInt());
        AdvOptions.Adv_AdvOpt = field("Adv_AdvOpt").toBool();
        AdvOptions.Adv_WeekDay = short(field("Adv_WeekDay").toInt());
        AdvOptions.Adv_MonthDay = short(field("Adv_MonthDay").toInt());
        AdvOptions.Adv_MonthCount = short(field("Adv_MonthCount").toInt());
        AdvOptions.Adv_NoEnd = field("Adv_NoEnd").toBool();

        CurrentSentTo = FieldText(field("SentTo"));
        CurrentReminderId = field("RMain_Id").toInt();
        LANSend->setChecked(field("BroadcastId").toInt() > 0 && field("IAMAuthor").toBool());
        SetSendOptions(!CurrentSentTo.isEmpty(), false);
        m_occurrences->refresh(); // the advanced rule is complete only now
        InEdit = false;
    } catch (const std::exception& e) {
        // A half-loaded editor is not an edit: the window stays usable.
        Loading = false;
        InEdit = false;
        WriteLog(QStringLiteral("LoadCurrent: ") + describe(e), LogError);
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
    try {
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
            if (LANSend->isChecked() && LANOptSend && g_sendRUpdateHook)
                unsent = !g_sendRUpdateHook(rs, savedId, OptSend[1]->isChecked(), CurrentSentTo);
        }
        showStored(savedId); // current even where the filter would hide it
        SetRegularMode(unsent ? QStringLiteral(" תזכורת נשמרה אך לא נשלחה ברשת")
                              : QStringLiteral(" תזכורת נשמרה"));
        PublishNextDate();
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("Save: ") + describe(e), LogError);
    }
}

void RMain::writeEditorFields(Dynaset& rs)
{
    const Date due = editorDueDate();
    const short eventType = short(CEventType->currentData().toInt());
    rs.setValue(QStringLiteral("RCaption"), withoutTabs(CCaption->text()).left(kCaptionWidth));
    rs.setValue(QStringLiteral("RDate"), dateValue(due));
    rs.setValue(QStringLiteral("RImportance"), CImportance->currentData().toInt());
    rs.setValue(QStringLiteral("REventType"), eventType);
    rs.setValue(QStringLiteral("RDetail"), withoutTabs(toStoredText(CDetail->toPlainText())));
    rs.setValue(QStringLiteral("RActive"), OptActive[0]->isChecked());
    // A save always clears a postponement.
    rs.setValue(QStringLiteral("RNext"), dateValue(due));
    if (FieldText(rs.value(QStringLiteral("RAuthor"))).isEmpty())
        rs.setValue(QStringLiteral("RAuthor"), LANNick);
    rs.setValue(QStringLiteral("Adv_AdvOpt"), false);
    rs.setValue(QStringLiteral("Adv_DateEnd"), dateValue(due));
    rs.setValue(QStringLiteral("Adv_NoEnd"), true);

    for (const FixedPeriod& fixed : kFixedPeriods)
        if (fixed.eventType == eventType) {
            rs.setValue(QStringLiteral("Adv_Period"), fixed.period);
            rs.setValue(QStringLiteral("Adv_PeriodN"), fixed.periodN);
        }
    if (eventType == EventAdvanced) {
        rs.setValue(QStringLiteral("Adv_Period"), AdvOptions.Adv_Period);
        rs.setValue(QStringLiteral("Adv_PeriodN"), AdvOptions.Adv_PeriodN);
        rs.setValue(QStringLiteral("Adv_AdvOpt"), AdvOptions.Adv_AdvOpt);
        rs.setValue(QStringLiteral("Adv_WeekDay"), AdvOptions.Adv_WeekDay);
        rs.setValue(QStringLiteral("Adv_MonthDay"), AdvOptions.Adv_MonthDay);
        rs.setValue(QStringLiteral("Adv_MonthCount"), AdvOptions.Adv_MonthCount);
        rs.setValue(QStringLiteral("Adv_DateEnd"),
                    AdvOptions.Adv_DateEnd ? dateValue(*AdvOptions.Adv_DateEnd) : QVariant());
        rs.setValue(QStringLiteral("Adv_NoEnd"), AdvOptions.Adv_NoEnd);
    }
}

void RMain::ShowAdvOpt()
{
    AdvOptions.StartDate = editorDueDate();
    AdvOptions.Accepted = false;
    {
        FrmAdvOpt dialog(this);
        dialog.exec();
    }
    if (!AdvOptions.Accepted)
        return;
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
