#include "scheduling/DeletionUndo.h"

#include "common/Trapped.h"
#include "platform/Failure.h"
#include "store/ReminderRecord.h"

#include <utility>

namespace {

SharingHooks& hooks()
{
    static SharingHooks installed;
    return installed;
}

} // namespace

qint32 DeletedReminder::id() const
{
    return qint32(row.value(int(ReminderField::RMain_Id)).toLongLong());
}

void setSharingHooks(SharingHooks installed)
{
    hooks() = std::move(installed);
}

std::optional<DeletedReminder> DeleteUndoably(qint32 id,
                                              const std::function<NetworkDeletion()>& askNetwork)
{
    DeletedReminder deleted;
    const auto decide = [&] {
        const NetworkDeletion answer = askNetwork();
        deleted.deletedOnNetwork = answer == NetworkDeletion::Also && hooks().sendDel;
        return answer;
    };
    const auto sendDel = [](qint32 broadcastId) {
        if (hooks().sendDel)
            hooks().sendDel(broadcastId);
    };
    if (DeleteReminder(id, decide, sendDel, &deleted.row) != Deletion::Deleted)
        return std::nullopt;
    return deleted;
}

QString UndoDeletion(const DeletedReminder& deleted)
{
    try {
        RestoreReminder(deleted.row);
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("UndoDeletion"), e);
        return describe(e);
    }
    if (deleted.deletedOnNetwork && hooks().sendAgain)
        hooks().sendAgain(deleted.id());
    return QString();
}

QString DeletedNotice(const DeletedReminder& deleted)
{
    return QStringLiteral("התזכורת \"%1\" נמחקה")
        .arg(deleted.row.value(int(ReminderField::RCaption)).toString());
}
