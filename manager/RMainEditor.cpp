// The editor of the manager window: its modes, loading a reminder or the
// defaults of a new one, the save, the advanced options and the keys.
#include "manager/RMain.h"

#include "common/LanText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "manager/DatePickers.h"
#include "manager/FrmAdvOpt.h"
#include "manager/ListTable.h"
#include "manager/ManagerState.h"
#include "manager/ReceiptsBar.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/UndoDelete.h"
#include "scheduling/ReminderRules.h"
#include "scheduling/ReminderWrites.h"
#include "store/LanSettings.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>

namespace {

constexpr int kAdvancedEntry = 7; // "מתקדם", the eighth recurrence type

// The editor shows line breaks as LF; reminders store CR LF (StoredDetail).
QString toEditorText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
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

Prompt::Answer ask(QWidget* owner, const QString& text, Prompt::Buttons buttons,
                   Prompt::Answer defaultAnswer)
{
    return Prompt::message(owner, text, appTitle(), buttons, Prompt::Icon::Question, defaultAnswer);
}

// What a save of an edited reminder overwrites: a change of one of these
// since the reminder was loaded is someone else's word the save would undo.
bool savedFieldsChanged(const ReminderRecord& loaded, const ReminderRecord& stored)
{
    using F = ReminderField;
    return !sameIn(loaded, stored,
                   {F::RCaption, F::RDetail, F::RDate, F::RNext, F::RImportance, F::REventType,
                    F::RActive, F::RAuthor, F::Adv_AdvOpt, F::Adv_Period, F::Adv_PeriodN,
                    F::Adv_WeekDay, F::Adv_MonthDay, F::Adv_MonthCount, F::Adv_DateEnd,
                    F::Adv_NoEnd, F::Adv_HebrewMonth, F::Adv_HebrewDay, F::Adv_SkipDaysOff});
}

// The status after a send that carried characters the LAN's code page lacks
// as "?", naming them, so the author knows what the colleagues read.
QString sentWithQuestionMarks(const QStringList& replaced)
{
    return QStringLiteral(" תזכורת נשמרה ונשלחה ברשת, עם \"?\" במקום: ") +
           replaced.join(QLatin1Char(' '));
}

} // namespace

const QString RMain::kEditedChanged = QStringLiteral(" התזכורת שונתה בינתיים");
const QString RMain::kEditedDeleted = QStringLiteral(" התזכורת נמחקה בינתיים");

void RMain::SetMode(bool theMode, const QString& StatusTXT)
{
    InEdit = theMode;
    if (!theMode) {
        m_editingNew = false;
        dropKeptDraft();
    }
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
        m_editingNew = true;
        LoadDefault();
        m_receipts->follow(0);
    } else {
        cmdSave->setVisible(true);
        SetMode(true, QStringLiteral(" עריכה"));
        noteEditedReminder(); // the list may have been read before a change stored meanwhile
    }
    if (SetActive)
        OptActive[0]->setChecked(true);
}

// Compares the stored row with what the edit started from.
void RMain::noteEditedReminder()
{
    if (!InEdit || m_editingNew || !m_loaded)
        return;
    trapped(QStringLiteral("LoadCurrent"), [this] {
        const std::optional<ReminderRecord> stored =
            storedReminder(*OpenReminderDb(), m_loaded->RMain_Id);
        if (!stored)
            LStatus->setText(kEditedDeleted);
        else if (savedFieldsChanged(*m_loaded, *stored))
            LStatus->setText(kEditedChanged);
    });
}

void RMain::SetRegularMode(const QString& StatusTXT)
{
    SetMode(false, StatusTXT);
    cmdSave->setVisible(false);
    LoadCurrent();
    followChanges(); // stored while the edit was open
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

    // Private until the user ticks "שלח ברשת", whatever the reminder shown
    // before had; the audience last sent to waits under the box.
    LANSend->setChecked(false);
    CurrentSentTo = lastRecipients.names;
    SetSendOptions(lastRecipients.toList, false);
}

// Filling the controls raises their change signals; InEdit keeps those from
// entering edit mode.
void RMain::showInEditor(const ReminderRecord& r)
{
    CCaption->setText(r.RCaption);
    // A reminder without a due date shows a new reminder's default.
    setEditorDueDate(r.isNull(ReminderField::RDate) ? NowToMinute() : r.RDate);
    selectEntryByText(CImportance, ImportanceName(r.RImportance));
    Loading = true;
    selectEntryByText(CEventType, EventTypeName(r.REventType));
    Loading = false;
    OptActive[r.RActive ? 0 : 1]->setChecked(true);
    CDetail->setPlainText(toEditorText(r.RDetail));
    static_cast<AdvancedRule&>(AdvOptions) = storedAdvancedRule(r);
    CurrentSentTo = r.SentTo;
}

void RMain::LoadCurrent()
{
    if (!ListRs || !ListRs->hasCurrent())
        return;
    const auto load = [this] {
        InEdit = true;
        const ReminderRecord r = ReminderRecord::read(*ListRs);
        showInEditor(r);
        CurrentReminderId = r.RMain_Id;
        m_loaded = r;
        LANSend->setChecked(r.BroadcastId > 0 && r.IAMAuthor);
        m_receipts->follow(r.RMain_Id);
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
    if (captionMissing(CCaption->text())) {
        showValidation(this, kCaptionMissing, CCaption);
        return false;
    }
    if (CImportance->currentIndex() < 0) {
        showValidation(this, QStringLiteral("יש להזין חשיבות"), CImportance);
        return false;
    }
    if (CEventType->currentIndex() < 0) {
        showValidation(this, QStringLiteral("יש להזין סוג מופע"), CEventType);
        return false;
    }
    return true;
}

void RMain::MySave(bool SExisting)
{
    if (!validateEditor())
        return;
    trapped(QStringLiteral("Save"), [&] {
        bool unsent = false;  // the send was asked for and did not go out
        QStringList replaced; // the characters it carried as "?"
        const auto send = [&](Dynaset& rs, qint32 savedId) {
            if (!LANSend->isChecked() || !LANOptSend || !sendRUpdateHook())
                return;
            lastRecipients = {OptSend[1]->isChecked(), CurrentSentTo};
            unsent = !sendRUpdateHook()(rs, savedId, OptSend[1]->isChecked(), CurrentSentTo);
            if (const auto sent = storedReminder(rs.database(), savedId); sent && !unsent)
                replaced = unsendableCharacters(sent->RCaption + sent->RDetail + sent->RAuthor);
        };
        const std::optional<qint32> target = SExisting ? saveTarget() : std::optional<qint32>(0);
        if (!target)
            return; // the edit stays, as the user left it
        qint32 savedId = 0;
        try {
            savedId = SaveReminder(editorRecord(), *target, send);
        } catch (const ReminderRefused& refused) {
            // A rule the recurrence could never follow, as the preview shows it.
            showValidation(this, refused.why(), CEventType);
            return;
        } catch (const ReminderGone&) {
            // Deleted after the question above: the next save asks again.
            LStatus->setText(kEditedDeleted);
            return;
        }
        showStored(savedId); // current even where the filter would hide it
        SetRegularMode(unsent ? QStringLiteral(" תזכורת נשמרה אך לא נשלחה ברשת")
                       : replaced.isEmpty() ? QStringLiteral(" תזכורת נשמרה")
                                            : sentWithQuestionMarks(replaced));
    });
}

// A reminder deleted meanwhile is stored again only as a new one and only on
// the user's word; one changed meanwhile is overwritten only on the user's
// word. The stored row is read again after each answer: the question gave
// way to the LAN and the other windows.
std::optional<qint32> RMain::saveTarget()
{
    if (!m_loaded)
        return 0;
    for (;;) {
        const std::optional<ReminderRecord> stored =
            storedReminder(*OpenReminderDb(), m_loaded->RMain_Id);
        if (!stored) {
            LStatus->setText(kEditedDeleted);
            if (ask(this, QStringLiteral("התזכורת נמחקה בינתיים. לשמור אותה כתזכורת חדשה?"),
                    Prompt::Buttons::YesNo, Prompt::Answer::No) != Prompt::Answer::Yes)
                return std::nullopt;
            return 0;
        }
        if (!savedFieldsChanged(*m_loaded, *stored))
            return m_loaded->RMain_Id;
        LStatus->setText(kEditedChanged);
        if (ask(this, QStringLiteral("התזכורת שונתה בינתיים. לשמור את השינויים במקומה?"),
                Prompt::Buttons::YesNo, Prompt::Answer::No) != Prompt::Answer::Yes)
            return std::nullopt;
        m_loaded = stored; // the change the user agreed to overwrite
    }
}

// "חדש" needs no question: during an edit it reads "שמור כחדש" and saves.
bool RMain::leaveEdit()
{
    if (!InEdit)
        return true;
    switch (ask(this, QStringLiteral("השינויים בתזכורת לא נשמרו. לשמור אותם?"),
                Prompt::Buttons::YesNoCancel, Prompt::Answer::Yes)) {
    case Prompt::Answer::Yes:
        MySave(!m_editingNew);
        return !InEdit;
    case Prompt::Answer::No:
        SetRegularMode(QStringLiteral(" שינוי בוטל"));
        return true;
    default:
        return false;
    }
}

// The reminder as the editor shows it; the save stores it by the rules of
// every author's save (SaveReminder).
ReminderRecord RMain::editorRecord() const
{
    ReminderRecord r;
    static_cast<AdvancedRule&>(r) = AdvOptions;
    r.RCaption = CCaption->text();
    r.RDate = editorDueDate();
    r.RImportance = short(CImportance->currentData().toInt());
    r.REventType = short(CEventType->currentData().toInt());
    r.RDetail = CDetail->toPlainText();
    r.RActive = OptActive[0]->isChecked();
    return r;
}

void RMain::ShowAdvOpt()
{
    AdvOptions.StartDate = editorDueDate();
    const short shown = short(CEventType->currentData().toInt());
    AdvOptions.eventType = isHebrewEventType(shown) ? shown : short(EventAdvanced);
    {
        FrmAdvOpt dialog(AdvOptions, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    setEditorDueDate(AdvOptions.StartDate);
    Loading = true;
    CEventType->setCurrentIndex(isHebrewEventType(AdvOptions.eventType)
                                    ? CEventType->findData(AdvOptions.eventType)
                                    : kAdvancedEntry);
    SetEditMode(false, true);
    Loading = false;
    m_occurrences->refresh();
}

void RMain::CEventType_Click(int index)
{
    if (Loading)
        return;
    SetEditMode(false, true);
    const short chosen = short(CEventType->itemData(index).toInt());
    if (isHebrewEventType(chosen))
        AdvOptions.Adv_PeriodN = 1; // the list's entry is every month or year
    if (chosen == EventAdvanced)
        ShowAdvOpt();
}

// A new reminder is typed from its title on: the default title is selected,
// so typing replaces it.
void RMain::cmdNew_Click()
{
    if (InEdit) {
        MySave(false); // "שמור כחדש"
        return;
    }
    SetEditMode(true, true);
    CCaption->setFocus();
    CCaption->selectAll();
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
    if (leaveEdit())
        close();
}

// F9 and Ctrl+S save the edit: a new reminder as "שמור כחדש" does. Ctrl+Z
// takes back the deletions the notice of the undo offers. Ctrl+N
// starts a new reminder as "חדש" does, and only then (during an edit the
// button saves as new, which wants a click).
// Ctrl+F and Ctrl+P are the menu items' own keys.
bool RMain::Form_KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (shift == Qt::ControlModifier && key == Qt::Key_S)
        key = Qt::Key_F9;
    // While the notice of a deletion shows, as its "בטל מחיקה".
    if (shift == Qt::ControlModifier && key == Qt::Key_Z && !InEdit)
        return UndoDelete::undoNow();
    if (shift == Qt::ControlModifier && key == Qt::Key_N) {
        if (InEdit)
            return false;
        cmdNew_Click();
        return true;
    }
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
        if (!InEdit)
            return false;
        if (m_editingNew)
            cmdNew_Click(); // "שמור כחדש", the only save of a new reminder
        else
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
