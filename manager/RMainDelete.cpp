// Deleting the current reminder, and every reminder the list shows. From the
// menu during an edit, the edit is saved or dropped first, as the user says.
#include "manager/RMain.h"

#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "platform/Failure.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/UndoDelete.h"
#include "scheduling/DeletionUndo.h"

#include <QLabel>

namespace {

Prompt::Answer ask(QWidget* owner, const QString& text, Prompt::Buttons buttons)
{
    return Prompt::message(owner, text, appTitle(), buttons, Prompt::Icon::None);
}

} // namespace

const QString RMain::kUndoOffered = QStringLiteral(" התזכורת נמחקה; Ctrl+Z מבטל את המחיקה");

void RMain::cmdDelete_Click()
{
    trapped(QStringLiteral("cmdDelete"), [this] {
        if (!ListRs || !ListRs->hasCurrent() || !leaveEdit())
            return;
        if (ask(this, QStringLiteral("אישור מחיקה"), Prompt::Buttons::OkCancel) !=
            Prompt::Answer::Ok)
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
        if (Prompt::input(this, QStringLiteral("הקלד 'כן' לאישור המחיקה"),
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
