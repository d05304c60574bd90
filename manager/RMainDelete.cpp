// Deleting the current reminder, and every reminder the list shows. From the
// menu during an edit, the edit is saved or dropped first, as the user says.
#include "manager/RMain.h"

#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "manager/ListLine.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/UndoDelete.h"
#include "scheduling/DeletionUndo.h"
#include "scheduling/ReminderWrites.h"
#include "store/ReminderRecord.h"

#include <QLabel>

namespace {

Prompt::Answer ask(QWidget* owner, const QString& text, Prompt::Buttons buttons)
{
    return Prompt::message(owner, text, appTitle(), buttons, Prompt::Icon::None);
}

// The question names the reminder it deletes.
QString deleteQuestion(const QString& caption)
{
    const QString name = ExcludeTAB(caption).trimmed();
    return name.isEmpty() ? QStringLiteral("למחוק את התזכורת ללא הכותרת?")
                          : QStringLiteral("למחוק את התזכורת \"%1\"?").arg(name);
}

// And how many a deletion of the list takes.
QString deleteListPrompt(int count)
{
    const QString what = count == 1 ? QStringLiteral("התזכורת שברשימה תימחק.")
                                    : QStringLiteral("%1 התזכורות שברשימה יימחקו.").arg(count);
    return what + QStringLiteral(" הקלד 'כן' לאישור המחיקה");
}

} // namespace

const QString RMain::kUndoOffered = QStringLiteral(" התזכורת נמחקה; Ctrl+Z מבטל את המחיקה");

void RMain::cmdDelete_Click()
{
    trapped(QStringLiteral("cmdDelete"), [this] {
        if (!ListRs || !ListRs->hasCurrent() || !leaveEdit())
            return;
        const QString caption = ReminderRecord::read(*ListRs).RCaption;
        if (ask(this, deleteQuestion(caption), Prompt::Buttons::OkCancel) != Prompt::Answer::Ok)
            return;
        // The row that takes the deleted one's place; the new last after the last.
        int position = ListRs->absolutePosition();
        if (position == ListRs->recordCount() - 1)
            --position;
        bool cancelled = false;
        const auto askNetwork = [&] {
            switch (ask(this, QStringLiteral("האם למחוק ברשת"), Prompt::Buttons::YesNoCancel)) {
            case Prompt::Answer::Yes:
                return NetworkDeletion::Also;
            case Prompt::Answer::No:
                return NetworkDeletion::LocalOnly;
            default:
                cancelled = true;
                return NetworkDeletion::Cancel;
            }
        };
        // A reminder deleted meanwhile leaves nothing to delete; the list is read again.
        const std::optional<DeletedReminder> deleted = DeleteUndoably(currentListId(), askNetwork);
        if (cancelled)
            return;
        requeryList();
        if (ListRs->recordCount() > 0)
            ListRs->setAbsolutePosition(qBound(0, position, ListRs->recordCount() - 1));
        FillTheList();
        if (deleted)
            offerUndo(*deleted);
    });
}

// The notice of the undo stands over the status line, which offers Ctrl+Z
// for as long as it shows.
void RMain::offerUndo(const DeletedReminder& deleted)
{
    UndoDelete::offer(
        DeletedNotice(deleted), [deleted] { return UndoDeletion(deleted); },
        QRect(LStatus->mapToGlobal(QPoint()), LStatus->size()));
    LStatus->setText(kUndoOffered);
    connect(UndoDelete::notice(), &QObject::destroyed, LStatus, [this] {
        if (LStatus->text() == kUndoOffered)
            LStatus->clear();
    });
}

// Only what the list shows goes, and nothing is sent over the LAN.
void RMain::cmdDeleteAll_Click()
{
    trapped(QStringLiteral("cmdDeleteAll"), [this] {
        if (!ListRs || !ListRs->hasCurrent() || !leaveEdit())
            return;
        if (Prompt::input(this, deleteListPrompt(ListRs->recordCount()),
                          QStringLiteral("מחיקת רשימה")) != QStringLiteral("כן"))
            return;
        QList<qint32> ids;
        ids.reserve(ListRs->recordCount());
        Snapshot listed = ListRs->clone();
        for (listed.moveFirst(); !listed.eof(); listed.moveNext())
            ids << reminderId(listed);
        DeleteReminders(ids);
        requeryList();
        FillTheList();
    });
}
