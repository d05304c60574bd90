// An edit interrupted by a close from outside (the tray's exit, the end of the
// session): kept beside the database without a question, and offered back
// when the window next opens.
#include "manager/RMain.h"

#include "common/WindowCaptions.h"
#include "manager/EditDraft.h"
#include "manager/ManagerState.h"
#include "manager/OccurrencePreview.h"
#include "platform/ui/Prompt.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <utility>

namespace {

QString draftQuestion(const QString& caption)
{
    return QStringLiteral("נמצאה עריכה שלא נשמרה של התזכורת \"%1\": לשחזר?")
        .arg(caption.left(kCaptionWidth));
}

} // namespace

void RMain::keepEditAsDraft()
{
    if (!InEdit)
        return;
    EditDraft draft{editorRecord(), LANSend->isChecked(), OptSend[1]->isChecked()};
    draft.record.RMain_Id = (m_editingNew || !m_loaded) ? 0 : m_loaded->RMain_Id;
    draft.record.SentTo = CurrentSentTo;
    keepEditDraft(draft);
    m_keptDraft = true;
}

// The user ended the edit: a draft kept of it meanwhile is out of date.
void RMain::dropKeptDraft()
{
    if (std::exchange(m_keptDraft, false))
        discardEditDraft();
}

void RMain::offerEditDraft()
{
    const std::optional<EditDraft> draft = takeEditDraft();
    if (!draft || InEdit)
        return;
    if (Prompt::message(this, draftQuestion(draft->record.RCaption), appTitle(),
                        Prompt::Buttons::YesNo, Prompt::Icon::Question,
                        Prompt::Answer::Yes) == Prompt::Answer::Yes)
        restoreEditDraft(*draft);
}

// Back in the editor, unsaved: over its reminder when that is still stored,
// else as a new one. The user saves it.
void RMain::restoreEditDraft(const EditDraft& draft)
{
    const qint32 id = draft.record.RMain_Id;
    const bool stored = id > 0 && showStored(id) && currentListId() == id;
    SetEditMode(!stored);
    showInEditor(draft.record);
    LANSend->setChecked(draft.send);
    SetSendOptions(draft.toList, false);
    m_occurrences->refresh();
    CCaption->setFocus();
}
